#include "win32/system/win32_text.h"

#include <windows.h>

#include <string>

namespace tav {

bool AnsiTextRules::IsLeadByte(unsigned char byte) const {
    return IsDBCSLeadByte(byte) != 0;
}

int AnsiTextRules::CompareNoCase(std::string_view a, std::string_view b) const {
    // lstrcmpiA wants terminated texts.
    const std::string left(a);
    const std::string right(b);
    return lstrcmpiA(left.c_str(), right.c_str());
}

uint32_t TickCountClock::TickCount() const {
    return GetTickCount();
}

}  // namespace tav
