#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tav {

// How paths are written on a platform. Windows: "C:\" roots, '\', CP932 lead bytes, 259 bytes.
// Linux: "/" roots with an empty drive part, '/', no lead bytes, 4095 bytes.
struct PathStyle {
    char separator = '\\';
    bool driveLetterRoots = true;
    std::size_t maxPath = 259;
    bool utf8 = false;  // the system encoding: UTF-8 on Linux, the ANSI code page on Windows
};

// A text made ready for sorting, so that what the order costs per text is paid once and not
// at every comparison. What a key holds is the business of the rules that made it: only they
// compare it (TextRules::CompareKeyed).
class SortKey {
public:
    virtual ~SortKey() = default;
};

// Text rules of the system encoding.
class TextRules {
public:
    virtual ~TextRules() = default;
    virtual PathStyle Style() const = 0;
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Case-insensitive, locale-aware order (lstrcmpiA): <0, 0, >0.
    virtual int CompareNoCase(std::string_view a, std::string_view b) const = 0;
    // A key for a text these rules order faster with one; null for a text they order as fast
    // without (by default, every text).
    virtual std::unique_ptr<const SortKey> MakeSortKey(std::string_view) const { return nullptr; }
    // Orders two texts as CompareNoCase does, given the keys MakeSortKey made for them.
    virtual int CompareKeyed(std::string_view a, const SortKey* /*aKey*/, std::string_view b,
                             const SortKey* /*bKey*/) const {
        return CompareNoCase(a, b);
    }
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() const = 0;  // milliseconds since system start, wrapping
};

}  // namespace tav
