#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace TagLib {
class IOStream;
}

namespace tav::tagplugin {

constexpr uint32_t kMp3Kind = 1;
constexpr uint32_t kWavKind = 2;
constexpr uint32_t kId3v1Bit = 1;
constexpr uint32_t kId3v2Bit = 2;

// What one file holds, in the terms of the four exports: its kind, its ID3 tag bits and the
// texts by value name ("INAM_v2", "IART_v1", "ICMT", ...) in the system's encoding
// (system_text.h). Every name of the twelve is present, empty when the file lacks it.
struct TagReading {
    uint32_t kind = 0;
    uint32_t tagBits = 0;
    std::map<std::string, std::string> values;
};

// Reads an MP3 (ID3v1, ID3v2) or a WAV file (RIFF INFO, and an "id3 " chunk). Nothing when
// the bytes are neither a RIFF WAVE file nor an MPEG stream or ID3-tagged file.
std::optional<TagReading> ReadTags(TagLib::IOStream& stream);

}  // namespace tav::tagplugin
