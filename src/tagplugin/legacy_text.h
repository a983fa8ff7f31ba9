#pragma once

#include <string>
#include <string_view>

namespace tav::tagplugin {

// Tag texts without a declared encoding, as Japanese Windows programs wrote them: bytes that
// are valid CP932 with at least one double-byte character are CP932, anything else Latin-1.
// The result is UTF-8.
std::string DecodeLegacyText(std::string_view bytes);

// RIFF INFO texts: UTF-8 when the bytes are valid UTF-8, otherwise as DecodeLegacyText.
std::string DecodeRiffText(std::string_view bytes);

}  // namespace tav::tagplugin
