// A tag library that answers every call but leaves out the export named by OMIT_<call>.
#include <cstdint>

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

#ifndef OMIT_LOAD
STUB_EXPORT uint32_t mp3infp_Load(void*, const char*) {
    return 0;
}
#endif
#ifndef OMIT_TYPE
STUB_EXPORT uint32_t mp3infp_GetType() {
    return 2;
}
#endif
#ifndef OMIT_TAGTYPE
STUB_EXPORT uint32_t mp3infp_mp3_GetTagType() {
    return 3;
}
#endif
#ifndef OMIT_VALUE
// Leaves every value as a null pointer.
STUB_EXPORT int mp3infp_GetValue(const char*, char** value) {
    *value = nullptr;
    return 0;
}
#endif
