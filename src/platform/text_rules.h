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
// at every comparison. Keys compare as CompareNoCase compares their texts; only keys made by
// the same rules are compared.
class SortKey {
public:
    virtual ~SortKey() = default;
    virtual int Compare(const SortKey& other) const = 0;
};

// Text rules of the system encoding.
class TextRules {
public:
    virtual ~TextRules() = default;
    virtual PathStyle Style() const = 0;
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Case-insensitive, locale-aware order (lstrcmpiA): <0, 0, >0.
    virtual int CompareNoCase(std::string_view a, std::string_view b) const = 0;
    // By default a key keeps its text and compares through CompareNoCase.
    virtual std::unique_ptr<const SortKey> MakeSortKey(std::string_view text) const {
        return std::make_unique<TextKey>(*this, text);
    }

private:
    class TextKey : public SortKey {
    public:
        TextKey(const TextRules& rules, std::string_view text) : rules_(rules), text_(text) {}
        int Compare(const SortKey& other) const override {
            return rules_.CompareNoCase(text_, static_cast<const TextKey&>(other).text_);
        }

    private:
        const TextRules& rules_;
        std::string text_;
    };
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() const = 0;  // milliseconds since system start, wrapping
};

}  // namespace tav
