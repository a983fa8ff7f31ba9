// The four calls of the tag library, for Linux: mp3infp.so beside the player.
#include <sys/stat.h>
#include <taglib/tfilestream.h>

#include <cstdint>

#include "tagplugin/tag_reader.h"

#define TAV_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr uint32_t kLoadFailed = 0xFFFFFFFF;

// The file loaded last; its texts stay valid until the next load.
tav::tagplugin::TagReading& Loaded() {
    static tav::tagplugin::TagReading reading;
    return reading;
}

// Only regular files: opening a FIFO or a device would block or never end.
bool IsRegularFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

TAV_EXPORT uint32_t mp3infp_Load(void* /*window*/, const char* path) {
    Loaded() = {};
    if (path == nullptr || !IsRegularFile(path)) {
        return kLoadFailed;
    }
    TagLib::FileStream stream(path, true);
    std::optional<tav::tagplugin::TagReading> reading = tav::tagplugin::ReadTags(stream);
    if (!reading) {
        return kLoadFailed;
    }
    Loaded() = std::move(*reading);
    return 0;
}

TAV_EXPORT uint32_t mp3infp_GetType() {
    return Loaded().kind;
}

TAV_EXPORT uint32_t mp3infp_mp3_GetTagType() {
    return Loaded().tagBits;
}

// Hands out the text of a value name of the loaded file; a null pointer for an unknown name.
TAV_EXPORT int mp3infp_GetValue(const char* name, char** value) {
    if (value == nullptr) {
        return -1;
    }
    *value = nullptr;
    if (name == nullptr) {
        return -1;
    }
    const auto found = Loaded().values.find(name);
    if (found == Loaded().values.end()) {
        return -1;
    }
    *value = found->second.data();
    return 0;
}
