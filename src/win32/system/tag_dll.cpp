#include "win32/system/tag_dll.h"

#include <windows.h>

#include "player/text_cut.h"

namespace tav {
namespace {

using LoadFunction = DWORD(WINAPI*)(HWND, LPCSTR);
using GetValueFunction = BOOL(WINAPI*)(const char*, char**);
using GetTypeFunction = DWORD(WINAPI*)();
using GetTagTypeFunction = DWORD(WINAPI*)();

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class DllTagLibrary : public TagLibrary {
public:
    explicit DllTagLibrary(HMODULE module)
        : module_(module),
          load_(Export<LoadFunction>(module, "mp3infp_Load")),
          getValue_(Export<GetValueFunction>(module, "mp3infp_GetValue")),
          getType_(Export<GetTypeFunction>(module, "mp3infp_GetType")),
          getTagType_(Export<GetTagTypeFunction>(module, "mp3infp_mp3_GetTagType")) {}
    ~DllTagLibrary() override { FreeLibrary(module_); }
    DllTagLibrary(const DllTagLibrary&) = delete;
    DllTagLibrary& operator=(const DllTagLibrary&) = delete;

    bool HasAllExports() const override {
        return load_ != nullptr && getValue_ != nullptr && getType_ != nullptr &&
               getTagType_ != nullptr;
    }
    uint32_t Load(intptr_t window, const std::string& path) override {
        return load_(reinterpret_cast<HWND>(window), path.c_str());
    }
    uint32_t GetType() override { return getType_(); }
    uint32_t GetTagType() override { return getTagType_(); }
    std::string GetValue(const char* name) override {
        char* value = nullptr;
        getValue_(name, &value);
        return value != nullptr ? std::string(value) : std::string();
    }

private:
    HMODULE module_;
    LoadFunction load_;
    GetValueFunction getValue_;
    GetTypeFunction getType_;
    GetTagTypeFunction getTagType_;
};

}  // namespace

std::unique_ptr<TagLibrary> DllTagLibraryLoader::Load() {
    if (libraryPath_.empty()) {
        return nullptr;
    }
    // The altered search path resolves the library's own dependencies from its folder too.
    const HMODULE module =
        LoadLibraryExA(libraryPath_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        return nullptr;
    }
    return std::make_unique<DllTagLibrary>(module);
}

std::string BesideExecutable(const std::string& executablePath, const std::string& name,
                             const TextRules& rules) {
    // The folder ends at the last single-byte separator; a trail byte 0x5C is no separator.
    std::size_t folderEnd = 0;
    for (std::size_t at = 0; at < executablePath.size();) {
        if (executablePath[at] == rules.Style().separator) {
            folderEnd = at + 1;
        }
        at += CharLength(executablePath, at, rules);
    }
    return folderEnd == 0 ? std::string() : executablePath.substr(0, folderEnd) + name;
}

}  // namespace tav
