#pragma once

#include <cstdint>

namespace TagLib {
class IOStream;
}

namespace tav::tagplugin {

// What the four exports hand out, shared by the Linux and the Windows plug-in: the reading of
// the file loaded last, whose texts stay valid until the next load.

constexpr uint32_t kLoadFailed = 0xFFFFFFFF;

// Forgets the last file.
void ForgetLoaded();
// Reads the stream as the loaded file: 0, or kLoadFailed (the last file forgotten).
uint32_t LoadTags(TagLib::IOStream& stream);
uint32_t LoadedKind();
uint32_t LoadedTagBits();
// The text of a value name of the loaded file; null for an unknown name.
char* LoadedValue(const char* name);

}  // namespace tav::tagplugin
