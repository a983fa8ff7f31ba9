#include "linux/audio/riff_mpeg.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>

namespace tav::gst {

namespace {

using Bytes4 = std::array<char, 4>;

uint32_t LittleEndian(const Bytes4& bytes) {
    uint32_t value = 0;
    for (size_t i = bytes.size(); i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

bool Is(const Bytes4& bytes, std::string_view id) {
    return std::string_view(bytes.data(), bytes.size()) == id;
}

// WAVE_FORMAT_MPEG and WAVE_FORMAT_MPEGLAYER3.
bool IsMpegFormat(uint32_t tag) {
    return tag == 0x0050 || tag == 0x0055;
}

void TakeDataToTheEnd(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr &&
        g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "wavparse") == 0) {
        g_object_set(element, "ignore-length", TRUE, nullptr);
    }
}

}  // namespace

bool MpegDataEndsInPadByte(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file.tellg();
    Bytes4 riff{};
    Bytes4 wave{};
    file.seekg(0);
    if (!file.read(riff.data(), 4).seekg(8).read(wave.data(), 4) || !Is(riff, "RIFF") ||
        !Is(wave, "WAVE")) {
        return false;
    }
    bool mpeg = false;
    for (std::streamoff at = 12; at + 8 <= size;) {
        Bytes4 id{};
        Bytes4 length{};
        Bytes4 format{};  // the format tag's two bytes, and two more
        if (!file.seekg(at).read(id.data(), 4).read(length.data(), 4)) {
            return false;
        }
        const std::streamoff body = LittleEndian(length);
        if (Is(id, "fmt ") && body >= 2 && file.read(format.data(), 2)) {
            mpeg = IsMpegFormat(LittleEndian(format));
        }
        if (Is(id, "data")) {
            return mpeg && body % 2 == 1 && at + 8 + body + 1 == size;
        }
        at += 8 + body + body % 2;
    }
    return false;
}

void HelpWavParser(GstElement* decoder, const std::string& path) {
    if (MpegDataEndsInPadByte(path)) {
        g_signal_connect(decoder, "deep-element-added", G_CALLBACK(TakeDataToTheEnd), nullptr);
    }
}

}  // namespace tav::gst
