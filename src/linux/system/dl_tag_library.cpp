#include "linux/system/dl_tag_library.h"

#include <dlfcn.h>

namespace tav {

namespace {

using LoadFn = uint32_t (*)(void* window, const char* path);
using TypeFn = uint32_t (*)();
using GetValueFn = int (*)(const char* name, char** value);

template <typename Fn>
Fn Lookup(void* handle, const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

// One dlopen of the plug-in; the handle is released with the object.
class DlTagLibrary : public TagLibrary {
public:
    explicit DlTagLibrary(void* handle)
        : handle_(handle),
          load_(Lookup<LoadFn>(handle, "mp3infp_Load")),
          getType_(Lookup<TypeFn>(handle, "mp3infp_GetType")),
          getTagType_(Lookup<TypeFn>(handle, "mp3infp_mp3_GetTagType")),
          getValue_(Lookup<GetValueFn>(handle, "mp3infp_GetValue")) {}
    ~DlTagLibrary() override { dlclose(handle_); }
    DlTagLibrary(const DlTagLibrary&) = delete;
    DlTagLibrary& operator=(const DlTagLibrary&) = delete;

    bool HasAllExports() const override {
        return load_ != nullptr && getType_ != nullptr && getTagType_ != nullptr &&
               getValue_ != nullptr;
    }
    uint32_t Load(intptr_t window, const std::string& path) override {
        return load_(reinterpret_cast<void*>(window), path.c_str());
    }
    uint32_t GetType() override { return getType_(); }
    uint32_t GetTagType() override { return getTagType_(); }
    std::string GetValue(const char* name) override {
        char* value = nullptr;
        getValue_(name, &value);
        return value == nullptr ? std::string() : std::string(value);
    }

private:
    void* handle_;
    LoadFn load_;
    TypeFn getType_;
    TypeFn getTagType_;
    GetValueFn getValue_;
};

}  // namespace

std::unique_ptr<TagLibrary> DlTagLibraryLoader::Load() {
    // Only an absolute path: a bare name would search the system's library folders, and an
    // empty one would hand back the program itself.
    if (libraryPath_.empty() || libraryPath_.front() != '/') {
        return nullptr;
    }
    void* handle = dlopen(libraryPath_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<DlTagLibrary>(handle);
}

}  // namespace tav
