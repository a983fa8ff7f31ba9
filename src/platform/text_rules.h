#pragma once

#include <cstddef>
#include <cstdint>
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

// Text rules of the system encoding.
class TextRules {
public:
    virtual ~TextRules() = default;
    virtual PathStyle Style() const = 0;
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Case-insensitive, locale-aware order (lstrcmpiA): <0, 0, >0.
    virtual int CompareNoCase(std::string_view a, std::string_view b) const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() const = 0;  // milliseconds since system start, wrapping
};

}  // namespace tav
