// SplitPath, EndsWithSeparator and CutToLimit on any bytes, in both path styles: the parts
// put back together give the path, and no cut ends inside a character.
#include <cstdint>
#include <string>

#include "catalogue/path.h"
#include "fakes/fake_seams.h"
#include "fuzz_check.h"
#include "linux/system/native_text.h"
#include "player/text_cut.h"

namespace {

using namespace tav;

void CheckSplit(std::string_view path, const TextRules& rules) {
    const PathParts parts = SplitPath(path, rules);
    const std::string whole = parts.drive + parts.directory + parts.baseName + parts.extension;
    const char separator = rules.Style().separator;
    if (whole.empty()) {
        return;
    }
    FUZZ_CHECK(whole == path.substr(0, path.find('\0')));
    FUZZ_CHECK(!parts.directory.empty() && EndsWithSeparator(parts.directory, rules));
    FUZZ_CHECK(parts.extension.empty() || parts.extension[0] == '.');
    FUZZ_CHECK(!EndsWithSeparator(parts.drive + parts.directory + parts.baseName, rules) ||
               parts.baseName.empty());
    (void)separator;
}

void CheckCut(std::string_view text, std::size_t limit, const TextRules& rules) {
    const std::string cut = CutToLimit(text, limit, rules);
    FUZZ_CHECK(cut.size() <= limit);
    FUZZ_CHECK(text.substr(0, cut.size()) == cut);
    if (cut.size() < text.size()) {
        FUZZ_CHECK(cut.size() + CharLength(text, cut.size(), rules) > limit);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const test::Cp932Rules windows;
    static const Utf8TextRules linuxStyle;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t limit = size > 0 ? data[0] : 0;
    for (const TextRules* rules :
         {static_cast<const TextRules*>(&windows), static_cast<const TextRules*>(&linuxStyle)}) {
        CheckSplit(text, *rules);
        CheckCut(text, limit, *rules);
    }
    return 0;
}
