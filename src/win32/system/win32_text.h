#pragma once

#include "platform/text_rules.h"

namespace tav {

// Texts in the ANSI code page (932 on a Japanese system) and drive-letter paths.
class AnsiTextRules : public TextRules {
public:
    PathStyle Style() const override { return {'\\', true, 259, false}; }
    bool IsLeadByte(unsigned char byte) const override;
    int CompareNoCase(std::string_view a, std::string_view b) const override;
};

class TickCountClock : public Clock {
public:
    uint32_t TickCount() const override;
};

}  // namespace tav
