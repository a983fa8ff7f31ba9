#include "linux/audio/mpeg_length.h"

#include <mpg123.h>

#include <cstdio>
#include <string_view>

namespace tav::gst {

namespace {

// The file as libmpg123 reads it, a frame at a time, so through stdio's buffer: one read call
// per frame costs more than the count. A read fails once the count is stopped, which ends it.
struct Source {
    FILE* file;
    const std::atomic<bool>& cancelled;
};

mpg123_ssize_t ReadSource(void* handle, void* buffer, size_t bytes) {
    auto& source = *static_cast<Source*>(handle);
    if (source.cancelled) {
        return -1;
    }
    const size_t got = std::fread(buffer, 1, bytes, source.file);
    return got == 0 && std::ferror(source.file) ? -1 : static_cast<mpg123_ssize_t>(got);
}

off_t SeekSource(void* handle, off_t offset, int whence) {
    FILE* file = static_cast<Source*>(handle)->file;
    return fseeko(file, offset, whence) == 0 ? ftello(file) : -1;
}

constexpr size_t kReadBuffer = 64 * 1024;

}  // namespace

bool DecodesMpegAudio(GstElement* pipeline) {
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    bool found = false;
    for (bool more = true; more && !found;) {
        switch (gst_iterator_next(elements, &item)) {
        case GST_ITERATOR_OK: {
            GstElementFactory* factory =
                gst_element_get_factory(GST_ELEMENT(g_value_get_object(&item)));
            found = factory != nullptr &&
                    std::string_view(GST_OBJECT_NAME(factory)) == "mpegaudioparse";
            g_value_reset(&item);
            break;
        }
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(elements);
            break;
        default:
            more = false;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return found;
}

MpegLength::MpegLength(const std::string& path) : counter_([this, path] { Count(path); }) {}

MpegLength::~MpegLength() {
    cancelled_ = true;
    counter_.join();
}

void MpegLength::Wait(std::chrono::milliseconds longest) {
    std::unique_lock guard(lock_);
    changed_.wait_for(guard, longest, [this] { return done_; });
}

std::optional<GstClockTime> MpegLength::Duration() const {
    std::lock_guard guard(lock_);
    return duration_;
}

void MpegLength::Count(const std::string& path) {
    static const int initialised = mpg123_init();
    Source source{std::fopen(path.c_str(), "rbe"), cancelled_};
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (initialised == MPG123_OK && source.file != nullptr && decoder != nullptr &&
        std::setvbuf(source.file, nullptr, _IOFBF, kReadBuffer) == 0 &&
        mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0) == MPG123_OK &&
        mpg123_replace_reader_handle(decoder, ReadSource, SeekSource, nullptr) == MPG123_OK &&
        mpg123_open_handle(decoder, &source) == MPG123_OK &&
        mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK) {
        Publish(mpg123_length(decoder), rate);  // the estimate
        if (mpg123_scan(decoder) == MPG123_OK) {
            Publish(mpg123_length(decoder), rate);
        }
        mpg123_close(decoder);
    }
    mpg123_delete(decoder);
    if (source.file != nullptr) {
        std::fclose(source.file);
    }
    {
        std::lock_guard guard(lock_);
        done_ = true;
    }
    changed_.notify_all();
}

void MpegLength::Publish(int64_t samples, long rate) {
    if (samples <= 0 || rate <= 0) {
        return;
    }
    std::lock_guard guard(lock_);
    duration_ = gst_util_uint64_scale(static_cast<guint64>(samples), GST_SECOND,
                                      static_cast<guint64>(rate));
}

}  // namespace tav::gst
