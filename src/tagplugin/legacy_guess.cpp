#include "tagplugin/legacy_guess.h"

#include <uchardet/uchardet.h>

#include <memory>
#include <string_view>

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

bool IsAsciiLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

unsigned char ByteAt(std::string_view bytes, std::size_t at) {
    return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0;
}

// Letters of Windows-1252 beyond ASCII: À-ÿ but × and ÷, and Š Œ Ž š œ ž (not Ÿ: hardly
// ever written, and the lead byte of many kanji).
bool IsWesternLetter(unsigned char byte) {
    if (byte >= 0xC0) {
        return byte != 0xD7 && byte != 0xF7;
    }
    return byte == 0x8A || byte == 0x8C || byte == 0x8E || byte == 0x9A || byte == 0x9C ||
           byte == 0x9E;
}

// A lower-case accented letter inside a word ("Pokémon", "étoile", "Mäßig"): as CP932 a lead
// byte whose trail byte is the word's next letter.
bool IsWesternWordPair(std::string_view bytes, std::size_t at) {
    const unsigned char trail = ByteAt(bytes, at + 1);
    if (ByteAt(bytes, at) < 0xE0 || !(IsAsciiLetter(trail) || IsWesternLetter(trail))) {
        return false;
    }
    return (at > 0 && IsAsciiLetter(ByteAt(bytes, at - 1))) || IsAsciiLetter(ByteAt(bytes, at + 2));
}

struct Cp932Reading {
    bool valid = false;  // CP932 characters, a double-byte one among them
    // A Western word's accented letter, or a character of the user-defined area (F0-F9, where
    // ð-ù fall), which Japanese texts hardly hold.
    bool unlikely = false;
};

Cp932Reading ReadAsCp932(std::string_view bytes) {
    Cp932Reading reading;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const unsigned char byte = ByteAt(bytes, at);
        if (IsSingleByte(byte)) {
            continue;
        }
        if (!IsLeadByte(byte) || !IsTrailByte(ByteAt(bytes, at + 1))) {
            return {};
        }
        reading.valid = true;
        reading.unlikely =
            reading.unlikely || (byte >= 0xF0 && byte <= 0xF9) || IsWesternWordPair(bytes, at);
        ++at;
    }
    return reading;
}

// Punctuation of Windows-1252 beyond ASCII that Western titles use: € „ … ‘ ’ “ ” • – — ™,
// no-break space, ¡ © « ® ° ´ · » ¿.
bool IsWesternPunctuation(unsigned char byte) {
    constexpr std::string_view kMarks =
        "\x80\x84\x85\x91\x92\x93\x94\x95\x96\x97\x99\xA0\xA1\xA9\xAB\xAE\xB0\xB4\xB7\xBB\xBF";
    return kMarks.find(static_cast<char>(byte)) != std::string_view::npos;
}

// Whether the bytes read as Windows-1252 look like Western words: every byte beyond ASCII is
// common punctuation or a letter beside an ASCII letter. Shift_JIS read so gives symbols
// (ƒ ‚ ³ ª) or accented letters among other bytes beyond ASCII.
bool LooksWestern(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const unsigned char byte = ByteAt(bytes, at);
        if (byte < 0x80 || IsWesternPunctuation(byte)) {
            continue;
        }
        const bool besideLetter = (at > 0 && IsAsciiLetter(ByteAt(bytes, at - 1))) ||
                                  IsAsciiLetter(ByteAt(bytes, at + 1));
        if (!IsWesternLetter(byte) || !besideLetter) {
            return false;
        }
    }
    return true;
}

struct DetectorDeleter {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// Made and freed per text: the plug-in is loaded and unloaded for every file.
bool DetectorSaysShiftJis(std::string_view bytes) {
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) {
        return false;
    }
    uchardet_data_end(detector.get());
    return std::string_view(uchardet_get_charset(detector.get())) == "SHIFT_JIS";
}

}  // namespace

LegacyEncoding GuessLegacyEncoding(std::string_view bytes, bool japaneseFirst) {
    const Cp932Reading cp932 = ReadAsCp932(bytes);
    if (!cp932.valid) {
        return LegacyEncoding::kWindows1252;
    }
    const bool looksWestern = LooksWestern(bytes);
    if (looksWestern == cp932.unlikely) {
        return looksWestern ? LegacyEncoding::kWindows1252 : LegacyEncoding::kCp932;
    }
    // Read either way, the bytes look right, or both look wrong.
    if (DetectorSaysShiftJis(bytes)) {
        return LegacyEncoding::kCp932;
    }
    return japaneseFirst ? LegacyEncoding::kCp932 : LegacyEncoding::kWindows1252;
}

}  // namespace tav::tagplugin
