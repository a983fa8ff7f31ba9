#include "tagplugin/legacy_text.h"

#include <iconv.h>
#include <taglib/tstring.h>

#include <cerrno>
#include <optional>

#include "tagplugin/system_text.h"
#include "text/strict_utf8.h"

namespace tav::tagplugin {
namespace {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

bool IsSingleByte(unsigned char byte) {
    return byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF);
}

// Whether the bytes form CP932 characters with at least one double-byte character among them.
bool LooksLikeCp932(std::string_view bytes) {
    bool doubleByte = false;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (IsSingleByte(byte)) {
            continue;
        }
        if (!IsLeadByte(byte) || at + 1 >= bytes.size() ||
            !IsTrailByte(static_cast<unsigned char>(bytes[at + 1]))) {
            return false;
        }
        doubleByte = true;
        ++at;
    }
    return doubleByte;
}

// Opened per text and closed with it: the plug-in is loaded and unloaded for every file, so
// a converter kept for later would never be closed.
class Cp932Converter {
public:
    Cp932Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
    ~Cp932Converter() {
        if (IsOpen()) {
            iconv_close(handle_);
        }
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;
    bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return handle_; }

private:
    iconv_t handle_;
};

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
    const Cp932Converter converter;
    if (!converter.IsOpen()) {
        return std::nullopt;
    }
    std::string input(bytes);
    // Half-width katakana grow from one byte to three, nothing grows more.
    std::string output(bytes.size() * 3 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(converter.Handle(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;  // a code the table does not map
    }
    output.resize(output.size() - outLeft);
    return output;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

}  // namespace

std::string DecodeLegacyText(std::string_view bytes) {
    if (LooksLikeCp932(bytes)) {
        if (std::optional<std::string> text = Cp932ToUtf8(bytes)) {
            return *text;
        }
    }
    return Latin1ToUtf8(bytes);
}

std::string DecodeRiffText(std::string_view bytes) {
    return IsStrictUtf8(bytes) ? std::string(bytes) : DecodeLegacyText(bytes);
}

std::string SystemText(const TagLib::String& text) {
    return text.to8Bit(true);
}

std::string SystemTextOfLegacy(std::string_view bytes) {
    return DecodeLegacyText(bytes);
}

std::string SystemTextOfRiff(std::string_view bytes) {
    return DecodeRiffText(bytes);
}

}  // namespace tav::tagplugin
