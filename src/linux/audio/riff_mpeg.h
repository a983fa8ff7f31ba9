#pragma once

// MPEG audio in a RIFF WAV whose data chunk has an odd size and ends the file with its pad byte:
// GStreamer 1.22's WAV parser then looks for a next chunk one byte short of the end, finds
// none and refuses the file. Told to take the data up to the file's end, it plays it (the MPEG
// parser skips the pad byte).

#include <gst/gst.h>

#include <string>

namespace tav::gst {

// True for such a file.
bool MpegDataEndsInPadByte(const std::string& path);

// Has the WAV parser that `decoder` (a uridecodebin about to open `path`) makes take the data
// up to the file's end, when the file needs it.
void HelpWavParser(GstElement* decoder, const std::string& path);

}  // namespace tav::gst
