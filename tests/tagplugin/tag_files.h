#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tav::test {

// Byte builders for the tagged files the plug-in tests read, written the way the formats
// lay them out, so the tests do not depend on TagLib's own writer.

// Ten silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz).
std::string MpegFrames(int count = 10);

// A 128-byte ID3v1 tag; each text is cut or padded with NULs to 30 bytes.
std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& comment);

enum TextEncoding : uint8_t { Latin1 = 0, Utf16 = 1, Utf16Be = 2, Utf8 = 3 };

struct Id3v2Frame {
    std::string id;
    std::string body;
};

// Body of a text frame (TIT2, TPE1, TALB): the encoding byte and the text as given.
std::string TextFrame(TextEncoding encoding, const std::string& bytes);
// Body of a COMM frame with language "eng".
std::string CommentFrame(TextEncoding encoding, const std::string& description,
                         const std::string& bytes);
// UTF-16 with a little-endian byte-order mark, from UTF-16 code units.
std::string Utf16Le(const std::u16string& text);

// An ID3v2.3 or ID3v2.4 tag: sizes plain in 2.3 frames, sync-safe in 2.4.
std::string Id3v2Tag(int version, const std::vector<Id3v2Frame>& frames);

// A PCM WAVE file with a LIST INFO chunk of the given (chunk id, text bytes) pairs, and an
// "id3 " chunk when one is given.
std::string RiffWave(const std::vector<std::pair<std::string, std::string>>& info,
                     const std::string& id3Chunk = {});

}  // namespace tav::test
