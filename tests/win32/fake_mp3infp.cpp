// A stand-in for mp3infp.dll with canned answers, for the Windows tests. It decides by the
// file name: "unreadable" fails to load, "tagged" is an MP3 file with an ID3v2 tag, "v1only"
// one with an ID3v1 tag, "wave" a WAV file with RIFF INFO texts; anything else an MP3 file
// without a tag. Built once with every export and once without mp3infp_mp3_GetTagType.
#include <windows.h>

#include <cstring>

namespace {

struct Value {
    const char* name;
    const char* text;  // null: the library hands out a null pointer
};

// ID3v2: title, artist and album; the comment is a null pointer.
constexpr Value kTagged[] = {{"INAM_v2", "テスト曲"},
                             {"IART_v2", "テスト歌手"},
                             {"IPRD_v2", "アルバム"},
                             {"ICMT_v2", nullptr}};
constexpr Value kVersion1[] = {
    {"INAM_v1", "Old Title"}, {"IART_v1", "Old Artist"}, {"IPRD_v1", ""}, {"ICMT_v1", "v1"}};
constexpr Value kWave[] = {
    {"INAM", "波の音"}, {"IART", "録音者"}, {"IPRD", "WAV album"}, {"ICMT", "WAV comment"}};

struct Loaded {
    DWORD type = 0;
    DWORD tagType = 0;
    const Value* values = nullptr;
    std::size_t count = 0;
};

Loaded loaded;

template <std::size_t N>
Loaded With(DWORD type, DWORD tagType, const Value (&values)[N]) {
    return {type, tagType, values, N};
}

bool Contains(const char* path, const char* part) {
    return std::strstr(path, part) != nullptr;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI mp3infp_Load(HWND, LPCSTR path) {
    if (path == nullptr || Contains(path, "unreadable") ||
        GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return 1;
    }
    if (Contains(path, "tagged")) {
        loaded = With(1, 2 | 1, kTagged);  // both tags: version 2 wins
    } else if (Contains(path, "v1only")) {
        loaded = With(1, 1, kVersion1);
    } else if (Contains(path, "wave")) {
        loaded = With(2, 0, kWave);
    } else {
        loaded = Loaded{1, 0, nullptr, 0};
    }
    return 0;
}

__declspec(dllexport) DWORD WINAPI mp3infp_GetType() {
    return loaded.type;
}

#ifndef TAV_WITHOUT_TAG_TYPE
__declspec(dllexport) DWORD WINAPI mp3infp_mp3_GetTagType() {
    return loaded.tagType;
}
#endif

__declspec(dllexport) BOOL WINAPI mp3infp_GetValue(const char* name, char** value) {
    for (std::size_t i = 0; i < loaded.count; ++i) {
        if (std::strcmp(loaded.values[i].name, name) == 0) {
            *value = const_cast<char*>(loaded.values[i].text);
            return TRUE;
        }
    }
    *value = nullptr;
    return FALSE;
}

}  // extern "C"
