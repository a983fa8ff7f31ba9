#pragma once

#include <string>
#include <string_view>

namespace tav::tagplugin {

// Tag texts without a declared encoding, as Japanese or Western Windows programs wrote them:
// CP932 or Windows-1252 as GuessLegacyEncoding decides, the user's locale (LC_ALL, LC_CTYPE,
// LANG) settling texts that read well both ways. The result is UTF-8.
std::string DecodeLegacyText(std::string_view bytes);

// RIFF INFO texts: UTF-8 when the bytes are valid UTF-8, otherwise as DecodeLegacyText.
std::string DecodeRiffText(std::string_view bytes);

}  // namespace tav::tagplugin
