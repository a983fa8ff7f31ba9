#pragma once

// How the player's output stream presents itself to the sound server: a stable application
// name, icon and role. The server's stream-restore keys the remembered volume on them, so the
// player's volume carries over to its next stream and its next run.

#include <gst/gst.h>

namespace tav {

constexpr const char* kStreamApplicationName = "tavrello";
constexpr const char* kStreamRole = "music";

// Labels every sound-server sink in `pipeline`: those already in it and those added later,
// such as the one an autoaudiosink picks when it starts.
void LabelPlayerStream(GstElement* pipeline);

}  // namespace tav
