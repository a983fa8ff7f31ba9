#include "tag_files.h"

namespace tav::test {
namespace {

constexpr std::size_t kFrameLength = 417;  // 144 * 128000 / 44100
constexpr std::size_t kId3v1Field = 30;

std::string BigEndian32(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string SyncSafe32(uint32_t value) {
    return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
            static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

std::string LittleEndian32(uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

std::string LittleEndian16(uint16_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Padded(const std::string& text) {
    std::string field = text.substr(0, kId3v1Field);
    field.resize(kId3v1Field, '\0');
    return field;
}

std::string Terminator(TextEncoding encoding) {
    return encoding == Utf16 || encoding == Utf16Be ? std::string(2, '\0') : std::string(1, '\0');
}

std::string Chunk(const std::string& id, const std::string& body) {
    std::string chunk = id + LittleEndian32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() % 2 != 0) {
        chunk += '\0';
    }
    return chunk;
}

}  // namespace

std::string MpegFrames(int count) {
    std::string frame(kFrameLength, '\0');
    frame[0] = static_cast<char>(0xFF);
    frame[1] = static_cast<char>(0xFB);
    frame[2] = static_cast<char>(0x90);
    std::string frames;
    for (int i = 0; i < count; ++i) {
        frames += frame;
    }
    return frames;
}

std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& comment) {
    return "TAG" + Padded(title) + Padded(artist) + Padded(album) + "2024" + Padded(comment) +
           static_cast<char>(0xFF);
}

std::string TextFrame(TextEncoding encoding, const std::string& bytes) {
    return static_cast<char>(encoding) + bytes;
}

std::string CommentFrame(TextEncoding encoding, const std::string& description,
                         const std::string& bytes) {
    return static_cast<char>(encoding) + std::string("eng") + description + Terminator(encoding) +
           bytes;
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += LittleEndian16(static_cast<uint16_t>(unit));
    }
    return bytes;
}

std::string Id3v2Tag(int version, const std::vector<Id3v2Frame>& frames) {
    std::string body;
    for (const Id3v2Frame& frame : frames) {
        const auto size = static_cast<uint32_t>(frame.body.size());
        body += frame.id + (version >= 4 ? SyncSafe32(size) : BigEndian32(size)) +
                std::string(2, '\0') + frame.body;
    }
    return "ID3" + std::string{static_cast<char>(version), '\0', '\0'} +
           SyncSafe32(static_cast<uint32_t>(body.size())) + body;
}

std::string RiffWave(const std::vector<std::pair<std::string, std::string>>& info,
                     const std::string& id3Chunk) {
    const std::string format = LittleEndian16(1) + LittleEndian16(1) + LittleEndian32(8000) +
                               LittleEndian32(16000) + LittleEndian16(2) + LittleEndian16(16);
    std::string fields = "INFO";
    for (const auto& [id, text] : info) {
        fields += Chunk(id, text + '\0');
    }
    std::string chunks = Chunk("fmt ", format) + Chunk("data", std::string(1600, '\0'));
    if (!info.empty()) {
        chunks += Chunk("LIST", fields);
    }
    if (!id3Chunk.empty()) {
        chunks += Chunk("id3 ", id3Chunk);
    }
    return "RIFF" + LittleEndian32(static_cast<uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

}  // namespace tav::test
