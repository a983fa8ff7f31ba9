// Tag texts for the Windows player, in the ANSI code page it runs in (CP932 on a Japanese
// system). Bytes of no declared encoding are already in it, as the programs that wrote them
// ran in it, and pass as they are.
#include <windows.h>

#include <taglib/tstring.h>

#include "tagplugin/system_text.h"

namespace tav::tagplugin {
namespace {

// A character the code page lacks becomes the system's default character, never a look-alike
// (best fit) and never a part of a character.
std::string ToAnsi(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                         0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), size,
                        nullptr, nullptr);
    return text;
}

}  // namespace

std::string SystemText(const TagLib::String& text) {
    return ToAnsi(text.toWString());
}

std::string SystemTextOfLegacy(std::string_view bytes) {
    return std::string(bytes);
}

std::string SystemTextOfRiff(std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return std::string(bytes);  // empty, or no UTF-8
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), size);
    return ToAnsi(wide);
}

}  // namespace tav::tagplugin
