#include "tagplugin/legacy_text.h"

#include <iconv.h>
#include <taglib/tstring.h>

#include <array>
#include <cstdlib>
#include <optional>

#include "tagplugin/legacy_guess.h"
#include "tagplugin/system_text.h"
#include "text/strict_utf8.h"

namespace tav::tagplugin {
namespace {

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

// Windows-1252's characters at 80-9F; the five codes it leaves free stay C1 controls, as
// Windows maps them. The other bytes are Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& text, char16_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(text, byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : byte);
    }
    return text;
}

// The language of the user's locale for texts, as setlocale(LC_CTYPE, "") would take it.
bool JapaneseLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("ja");
        }
    }
    return false;
}

}  // namespace

std::string DecodeLegacyText(std::string_view bytes) {
    if (GuessLegacyEncoding(bytes, JapaneseLocale()) == LegacyEncoding::kCp932) {
        if (std::optional<std::string> text = Cp932ToUtf8(bytes)) {
            return *text;
        }
    }
    return Windows1252ToUtf8(bytes);
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
