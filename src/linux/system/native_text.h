#pragma once

#include "platform/text_rules.h"

namespace tav {

// UTF-8 texts and '/' paths. No byte of a UTF-8 sequence but the first is ever '/' or '.',
// so the path walks need no lead-byte test.
class Utf8TextRules : public TextRules {
public:
    PathStyle Style() const override { return {'/', false, 4095, true}; }
    bool IsLeadByte(unsigned char) const override { return false; }
    // ASCII letters fold to one case; other characters keep their code-point order (the byte
    // order of UTF-8).
    int CompareNoCase(std::string_view a, std::string_view b) const override;
};

class MonotonicClock : public Clock {
public:
    uint32_t TickCount() const override;
};

}  // namespace tav
