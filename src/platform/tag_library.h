#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tav {

// One loaded instance of the outside tag library (mp3infp), with its four exports looked up.
// Released when destroyed.
class TagLibrary {
public:
    virtual ~TagLibrary() = default;
    // False when any of mp3infp_Load, mp3infp_GetValue, mp3infp_GetType and
    // mp3infp_mp3_GetTagType is missing; the other calls are then never made.
    virtual bool HasAllExports() const = 0;
    virtual uint32_t Load(intptr_t window, const std::string& path) = 0;  // 0 = read
    virtual uint32_t GetType() = 0;
    virtual uint32_t GetTagType() = 0;
    // Copy of the text the library hands out; empty for a null pointer.
    virtual std::string GetValue(const char* name) = 0;
};

class TagLibraryLoader {
public:
    virtual ~TagLibraryLoader() = default;
    // Loads the library anew from the executable's folder; null when it is not there.
    virtual std::unique_ptr<TagLibrary> Load() = 0;
};

}  // namespace tav
