// A stand-in for mp3infp.dll, with every export or without mp3infp_mp3_GetTagType. A file named
// "tagged..." is an MP3 file with both ID3 tags and a lone title in ID3v2 (other texts null);
// any other an MP3 file without tags; a missing one fails.
#include <windows.h>

#include <cstring>

static bool tagged = false;

extern "C" {

__declspec(dllexport) DWORD WINAPI mp3infp_Load(HWND, LPCSTR path) {
    tagged = std::strstr(path, "tagged") != nullptr;
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

__declspec(dllexport) DWORD WINAPI mp3infp_GetType() {
    return 1;
}

#ifndef TAV_WITHOUT_TAG_TYPE
__declspec(dllexport) DWORD WINAPI mp3infp_mp3_GetTagType() {
    return tagged ? 3 : 0;
}
#endif

__declspec(dllexport) BOOL WINAPI mp3infp_GetValue(const char* name, char** value) {
    *value = const_cast<char*>(tagged && std::strcmp(name, "INAM_v2") == 0 ? "テスト曲" : nullptr);
    return *value != nullptr;
}

}  // extern "C"
