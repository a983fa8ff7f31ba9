#include "tagplugin/loaded_tags.h"

#include <optional>
#include <utility>

#include "tagplugin/tag_reader.h"

namespace tav::tagplugin {
namespace {

TagReading& Loaded() {
    static TagReading reading;
    return reading;
}

}  // namespace

void ForgetLoaded() {
    Loaded() = {};
}

uint32_t LoadTags(TagLib::IOStream& stream) {
    std::optional<TagReading> reading = ReadTags(stream);
    if (!reading) {
        ForgetLoaded();
        return kLoadFailed;
    }
    Loaded() = std::move(*reading);
    return 0;
}

uint32_t LoadedKind() {
    return Loaded().kind;
}

uint32_t LoadedTagBits() {
    return Loaded().tagBits;
}

char* LoadedValue(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const auto found = Loaded().values.find(name);
    return found == Loaded().values.end() ? nullptr : found->second.data();
}

}  // namespace tav::tagplugin
