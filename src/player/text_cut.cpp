#include "player/text_cut.h"

namespace tav {
namespace {

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead <= 0xEF ? 3 : 1;
    }
    return lead >= 0xC2 ? 2 : 1;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t at, const TextRules& rules) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t rest = text.size() - at;
    if (!rules.Style().utf8) {
        return rules.IsLeadByte(lead) && rest > 1 && text[at + 1] != '\0' ? 2 : 1;
    }
    const std::size_t length = Utf8SequenceLength(lead);
    if (length > rest) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) {
            return 1;
        }
    }
    return length;
}

std::string CutToLimit(std::string_view text, std::size_t limit, const TextRules& rules) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharLength(text, end, rules);
        if (next > limit) {
            break;
        }
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::string_view UpToNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace tav
