#include "win32/audio/mf_device.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <optional>

#include "win32/audio/mf_decoder.h"

namespace tav {

struct MfMediaDevice::Track : Feed {
    Track(WasapiOutput& out, TimedWorker& worker, HWND notify, uint32_t deviceId,
          std::unique_ptr<MfDecoder> source)
        : output(out), readers(worker), window(notify), id(deviceId), decoder(std::move(source)) {}
    ~Track() override {
        output.Forget(*this);
        // A reader that hangs as it is torn down holds up no caller.
        readers.Post([reader = std::move(decoder)] {});
    }

    bool Pull(PcmFormat to, uint32_t frames, std::vector<float>& out, bool& ended) override {
        if (!converter || converterTo.rate != to.rate || converterTo.channels != to.channels) {
            converter.emplace(decoder->Format(), to);
            converterTo = to;
        }
        const size_t wanted = size_t{frames} * to.channels;
        while (converted.size() < wanted && !decoded) {
            decodedPcm.clear();
            const MfDecoder::Read read = decoder->Next(decodedPcm);
            if (read == MfDecoder::Read::Failed) {
                return false;
            }
            decoded = read == MfDecoder::Read::End;
            converter->Convert(decodedPcm, converted);
        }
        const auto taken = static_cast<std::ptrdiff_t>(std::min(wanted, converted.size()));
        out.insert(out.end(), converted.begin(), converted.begin() + taken);
        converted.erase(converted.begin(), converted.begin() + taken);
        ended = decoded && converted.empty();
        return true;
    }

    void Finished(bool failed) override {
        endHeard = !failed;
        PostMessageA(window, MM_MCINOTIFY, failed ? MCI_NOTIFY_FAILURE : MCI_NOTIFY_SUCCESSFUL, id);
    }

    // Moves the decoder to `ms`, dropping the sound decoded ahead. A reader that does not move
    // within the wait is left to its thread: the file no longer plays.
    bool MoveTo(uint32_t ms) {
        positionMs = std::min(ms, decoder->LengthMs());
        endHeard = false;
        converted.clear();
        decoded = false;
        if (converter) {
            converter->Restart();
        }
        auto moved = std::make_shared<bool>(false);
        hung = hung || !readers.Run([reader = decoder, to = positionMs,
                                     moved] { *moved = reader->Seek(to); },
                                    kLongestOutputWait);
        return !hung && *moved;
    }

    uint32_t Position() const {
        if (const std::optional<uint64_t> heard = output.Heard(*this)) {
            const uint64_t ms = positionMs + *heard * 1000 / std::max(output.Rate(), 1U);
            return static_cast<uint32_t>(std::min<uint64_t>(ms, decoder->LengthMs()));
        }
        return endHeard ? decoder->LengthMs() : positionMs;
    }

    WasapiOutput& output;
    TimedWorker& readers;
    const HWND window;
    const uint32_t id;
    std::shared_ptr<MfDecoder> decoder;  // shared with a call that may outlive the track
    std::optional<PcmConverter> converter;
    PcmFormat converterTo;
    std::vector<float> decodedPcm;
    std::vector<float> converted;  // ahead of what the output took
    bool decoded = false;          // the decoder has given all
    uint32_t positionMs = 0;       // where the play starts, or stopped
    std::atomic<bool> endHeard = false;
    bool hung = false;  // a seek or the output hung: the reader is not to be read
};

MfMediaDevice::MfMediaDevice(std::unique_ptr<MediaFoundation> library)
    : library_(std::move(library)) {}

MfMediaDevice::~MfMediaDevice() = default;

void MfMediaDevice::SetNotifyWindow(HWND window) {
    window_ = window;
    output_.Prepare();
}

MfMediaDevice::Track* MfMediaDevice::Find(uint32_t id) const {
    auto found = tracks_.find(id);
    return found == tracks_.end() ? nullptr : found->second.get();
}

void MfMediaDevice::Interrupt(Track& track, uint32_t kind) {
    if (const std::optional<uint64_t> heard = output_.Stop(track)) {
        track.MoveTo(
            static_cast<uint32_t>(track.positionMs + *heard * 1000 / std::max(output_.Rate(), 1U)));
        PostMessageA(window_, MM_MCINOTIFY, kind, track.id);
    }
}

uint32_t MfMediaDevice::Open(const std::string& path, uint32_t& deviceId) {
    struct Opening {
        uint32_t error = 0;
        std::unique_ptr<MfDecoder> decoder;
    };
    auto opening = std::make_shared<Opening>();
    const bool ended = readers_.Run(
        [library = library_, path, opening] {
            opening->error = MfDecoder::Open(*library, path, opening->decoder);
        },
        kLongestOutputWait);
    if (!ended) {
        return MCIERR_HARDWARE;  // a reader that hangs; it is left to end on its own
    }
    if (opening->error != 0) {
        return opening->error;
    }
    do {
        ++lastId_;
    } while (lastId_ == 0 || tracks_.count(lastId_) != 0);
    tracks_.emplace(lastId_, std::make_unique<Track>(output_, readers_, window_, lastId_,
                                                     std::move(opening->decoder)));
    output_.Prepare();
    deviceId = lastId_;
    return 0;
}

uint32_t MfMediaDevice::Play(uint32_t deviceId) {
    Track* const track = Find(deviceId);
    if (track == nullptr) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    // A file still feeding is interrupted; the last sound of one that ended plays on.
    for (const auto& [id, other] : tracks_) {
        if (output_.Heard(*other)) {
            Interrupt(*other, id == deviceId ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
        }
    }
    if (track->endHeard) {
        track->MoveTo(track->decoder->LengthMs());  // a play from the end ends at once
    }
    return track->hung ? MCIERR_HARDWARE : output_.Start(*track);
}

uint32_t MfMediaDevice::Stop(uint32_t deviceId) {
    Track* const track = Find(deviceId);
    if (track == nullptr) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    Interrupt(*track, MCI_NOTIFY_ABORTED);
    return 0;
}

uint32_t MfMediaDevice::Pause(uint32_t deviceId) {
    // A stop already holds the reader at the frame heard, and the next play goes on from it.
    return Stop(deviceId);
}

uint32_t MfMediaDevice::Close(uint32_t deviceId) {
    auto found = tracks_.find(deviceId);
    if (found == tracks_.end()) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    const bool playing = output_.Heard(*found->second).has_value();
    // A file that played to its end leaves its last sound to the stream.
    if (!output_.Forget(*found->second)) {
        // The output's thread hangs, maybe in this file's decoder: the file is kept for good
        // rather than freed under it.
        static_cast<void>(found->second.release());
        tracks_.erase(found);
        return MCIERR_HARDWARE;
    }
    if (playing) {
        PostMessageA(window_, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, deviceId);
    }
    tracks_.erase(found);
    return 0;
}

uint32_t MfMediaDevice::SetTimeFormatMilliseconds(uint32_t deviceId) {
    // Milliseconds are the only format this device speaks.
    return Find(deviceId) == nullptr ? MCIERR_INVALID_DEVICE_ID : 0;
}

uint32_t MfMediaDevice::Status(uint32_t deviceId, StatusItem item, uint32_t& value) {
    Track* const track = Find(deviceId);
    if (track == nullptr) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    value = item == StatusItem::Length ? track->decoder->LengthMs() : track->Position();
    // The output's thread cannot tell of its own hang: the display's look at the position
    // fails the play once.
    if (!track->hung && output_.Heard(*track) && output_.Hangs()) {
        track->hung = true;
        PostMessageA(window_, MM_MCINOTIFY, MCI_NOTIFY_FAILURE, deviceId);
    }
    return 0;
}

uint32_t MfMediaDevice::Seek(uint32_t deviceId, uint32_t toMs) {
    Track* const track = Find(deviceId);
    if (track == nullptr) {
        return MCIERR_INVALID_DEVICE_ID;
    }
    Interrupt(*track, MCI_NOTIFY_ABORTED);
    return track->MoveTo(toMs) ? 0 : MCIERR_HARDWARE;
}

}  // namespace tav
