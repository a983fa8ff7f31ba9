// The four calls of the tag library, for Windows: mp3infp.dll beside Tavrello.exe, exported
// by their plain names with the Windows calling convention, as the player looks them up.
#include <windows.h>

#include <taglib/tfilestream.h>

#include <string>

#include "tagplugin/loaded_tags.h"

namespace {

std::wstring Wide(const char* path) {
    const int size = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), size);
    wide.resize(wide.size() - 1);
    return wide;
}

// Only files on a disk: a pipe or a device (a name like COM1) may block or never end.
bool IsDiskFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI mp3infp_Load(HWND /*window*/, LPCSTR path) {
    tav::tagplugin::ForgetLoaded();
    if (path == nullptr) {
        return tav::tagplugin::kLoadFailed;
    }
    const std::wstring wide = Wide(path);
    if (!IsDiskFile(wide)) {
        return tav::tagplugin::kLoadFailed;
    }
    TagLib::FileStream stream(wide.c_str(), true);
    return tav::tagplugin::LoadTags(stream);
}

__declspec(dllexport) DWORD WINAPI mp3infp_GetType() {
    return tav::tagplugin::LoadedKind();
}

__declspec(dllexport) DWORD WINAPI mp3infp_mp3_GetTagType() {
    return tav::tagplugin::LoadedTagBits();
}

// TRUE with the text of a value name of the loaded file; FALSE and a null pointer for an
// unknown name.
__declspec(dllexport) BOOL WINAPI mp3infp_GetValue(const char* name, char** value) {
    if (value == nullptr) {
        return FALSE;
    }
    *value = tav::tagplugin::LoadedValue(name);
    return *value != nullptr;
}

}  // extern "C"
