#pragma once

#include <string>
#include <string_view>

namespace TagLib {
class String;
}

namespace tav::tagplugin {

// Tag texts as the player takes them, in the system's encoding: UTF-8 on Linux
// (legacy_text.cpp), the ANSI code page on Windows (system_text_win32.cpp).

// A text TagLib decoded from a declared Unicode encoding (ID3v2 UTF-16 or UTF-8).
std::string SystemText(const TagLib::String& text);

// Bytes of no declared encoding (ID3v1, ID3v2 marked Latin-1), as Windows programs wrote
// them: CP932 or Windows-1252 on Linux, as they are (the code page's own) on Windows.
std::string SystemTextOfLegacy(std::string_view bytes);

// RIFF INFO bytes: UTF-8 when they are valid UTF-8, else as legacy bytes.
std::string SystemTextOfRiff(std::string_view bytes);

}  // namespace tav::tagplugin
