// The four calls of the tag library, for Linux: mp3infp.so beside the player.
#include <sys/stat.h>
#include <taglib/tfilestream.h>

#include <cstdint>

#include "tagplugin/loaded_tags.h"

#define TAV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Only regular files: opening a FIFO or a device would block or never end.
bool IsRegularFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

TAV_EXPORT uint32_t mp3infp_Load(void* /*window*/, const char* path) {
    tav::tagplugin::ForgetLoaded();
    if (path == nullptr || !IsRegularFile(path)) {
        return tav::tagplugin::kLoadFailed;
    }
    TagLib::FileStream stream(path, true);
    return tav::tagplugin::LoadTags(stream);
}

TAV_EXPORT uint32_t mp3infp_GetType() {
    return tav::tagplugin::LoadedKind();
}

TAV_EXPORT uint32_t mp3infp_mp3_GetTagType() {
    return tav::tagplugin::LoadedTagBits();
}

// Hands out the text of a value name of the loaded file; a null pointer for an unknown name.
TAV_EXPORT int mp3infp_GetValue(const char* name, char** value) {
    if (value == nullptr) {
        return -1;
    }
    *value = tav::tagplugin::LoadedValue(name);
    return *value == nullptr ? -1 : 0;
}
