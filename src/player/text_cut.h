#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_rules.h"

namespace tav {

// Length in bytes of the character that starts at `at`: a lead byte and the byte after it in a
// double-byte code page, a whole sequence in UTF-8, otherwise one byte.
std::size_t CharLength(std::string_view text, std::size_t at, const TextRules& rules);

// The longest prefix of at most `limit` bytes that ends on a character boundary: a character
// that straddles the limit is dropped whole, never cut in half.
std::string CutToLimit(std::string_view text, std::size_t limit, const TextRules& rules);

// The text before its first NUL: what a C string holding it reads as.
std::string_view UpToNul(std::string_view text);

}  // namespace tav
