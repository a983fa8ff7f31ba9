// A tag library whose build renames one of the four exports away (-D<export>=omitted). The
// loader only looks the exports up and never calls them, so they need no real signatures.
#define STUB_EXPORT extern "C" __attribute__((visibility("default"))) void

STUB_EXPORT mp3infp_Load() {}
STUB_EXPORT mp3infp_GetType() {}
STUB_EXPORT mp3infp_mp3_GetTagType() {}
STUB_EXPORT mp3infp_GetValue() {}
