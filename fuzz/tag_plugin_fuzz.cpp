// The tag plug-in's reading on a file of any bytes: no fault, a kind of 1 or 2 and the twelve
// values, each UTF-8. The legacy text decoders on the same bytes likewise.
#include <taglib/tbytevectorstream.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "tagplugin/legacy_text.h"
#include "tagplugin/tag_reader.h"

namespace {

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || at + length > text.size()) {
            return false;
        }
        for (std::size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(IsUtf8(tav::tagplugin::DecodeLegacyText(bytes)));
    FUZZ_CHECK(IsUtf8(tav::tagplugin::DecodeRiffText(bytes)));

    TagLib::ByteVector file(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
    TagLib::ByteVectorStream stream(file);
    const std::optional<tav::tagplugin::TagReading> reading = tav::tagplugin::ReadTags(stream);
    if (!reading) {
        return 0;
    }
    FUZZ_CHECK(reading->kind == 1 || reading->kind == 2);
    FUZZ_CHECK(reading->tagBits <= 3);
    FUZZ_CHECK(reading->values.size() == 12);
    for (const auto& [name, value] : reading->values) {
        FUZZ_CHECK(IsUtf8(value));
    }
    return 0;
}
