#pragma once

#include <string_view>

namespace tav::tagplugin {

enum class LegacyEncoding { kCp932, kWindows1252 };

// The encoding of tag bytes that declare none (ID3v1, ID3v2 marked Latin-1, RIFF INFO), as
// Japanese and Western Windows programs wrote them. Bytes that are no CP932 are Windows-1252.
// Else two signs decide where they agree: whether read as Windows-1252 they look like Western
// words, and whether as CP932 they hold what Japanese texts hardly do (an accented letter
// inside a Western word, a user-defined character). Where they disagree, CP932 if uchardet
// knows the bytes as Shift_JIS (it needs longer texts than most titles), else the user's
// locale: CP932 when japaneseFirst.
LegacyEncoding GuessLegacyEncoding(std::string_view bytes, bool japaneseFirst);

}  // namespace tav::tagplugin
