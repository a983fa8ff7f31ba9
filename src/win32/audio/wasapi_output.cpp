#include "win32/audio/wasapi_output.h"

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <mmreg.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/audio/com_ptr.h"
#include "win32/audio/session_volume.h"

namespace tav {
namespace {

// The stream's buffer, in 100 ns: room for a file's last sound while the next one starts.
constexpr REFERENCE_TIME kBufferDuration = 2000000;  // 200 ms
// A file's end notice comes at least this long before its end is heard: what closing it and
// opening and starting the next file take (about 10 ms) and the slack below.
constexpr uint32_t kBaseLeadMs = 60;
// The next file's first sound should reach the stream with at least this much of the one
// before still to play. When it comes later the lead grows by what was missing (up to
// kLongestLeadMs); it shrinks again by half of what was left over. The window's title changes
// as the next file starts, so the slack is also how far the title leads the sound. Under Wine
// a slack of 30 ms left gaps of 5-17 ms between files; 50 ms none, the title leading by
// 25-45 ms.
constexpr uint32_t kWantedSlackMs = 50;
constexpr uint32_t kLongestLeadMs = 300;
// A stream that nothing feeds runs on this long after it has played out: a file that comes a
// little late follows after a silence as long as it was late, without a new start.
constexpr DWORD kIdleGrace = 500;
// How often the thread looks while the stream does not run, or its events stall.
constexpr DWORD kIdleLook = 100;
// A running stream whose position stays this long with sound still queued fails: the sound
// server stalls (stopped or hung), and the play fails within the 5 s its caller is promised.
constexpr DWORD kLongestStall = 4000;

// The default render endpoint and its id; an empty id when there is none.
std::wstring DefaultEndpoint(ComPtr<IMMDevice>& device) {
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                __uuidof(IMMDeviceEnumerator), enumerator.OutVoid())) ||
        FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.Out()))) {
        return {};
    }
    LPWSTR id = nullptr;
    if (FAILED(device->GetId(&id))) {
        return {};
    }
    std::wstring endpoint = id;
    CoTaskMemFree(id);
    return endpoint;
}

bool IsFloat(const WAVEFORMATEX& format) {
    const bool tagged = format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
                        (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
                         reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat.Data1 ==
                             WAVE_FORMAT_IEEE_FLOAT);
    return tagged && format.wBitsPerSample == 32;
}

}  // namespace

struct WasapiOutput::Stream {
    // A stream in the endpoint's mix format (always float in shared mode), whose buffer
    // events set `event`. Null when it cannot be opened.
    static std::unique_ptr<Stream> Open(IMMDevice& device, std::wstring endpoint, HANDLE event) {
        auto stream = std::make_unique<Stream>();
        stream->endpoint = std::move(endpoint);
        WAVEFORMATEX* mix = nullptr;
        if (FAILED(device.Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                   stream->client.OutVoid())) ||
            FAILED(stream->client->GetMixFormat(&mix))) {
            return nullptr;
        }
        stream->format = {mix->nSamplesPerSec, mix->nChannels};
        const HRESULT initialized =
            IsFloat(*mix) ? stream->client->Initialize(AUDCLNT_SHAREMODE_SHARED,
                                                       AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                                                       kBufferDuration, 0, mix, &kPlayerSession)
                          : E_FAIL;
        CoTaskMemFree(mix);
        if (FAILED(initialized) || FAILED(stream->client->SetEventHandle(event)) ||
            FAILED(stream->client->GetBufferSize(&stream->bufferFrames)) ||
            FAILED(stream->client->GetService(__uuidof(IAudioRenderClient),
                                              stream->render.OutVoid())) ||
            FAILED(stream->client->GetService(__uuidof(IAudioClock), stream->clock.OutVoid())) ||
            FAILED(stream->clock->GetFrequency(&stream->frequency)) || stream->frequency == 0) {
            return nullptr;
        }
        return stream;
    }

    // Frames heard since the stream last started from empty; nothing when the stream failed.
    std::optional<uint64_t> Played() const {
        UINT64 position = 0;
        if (FAILED(clock->GetPosition(&position, nullptr))) {
            return std::nullopt;
        }
        const uint64_t frames = position * format.rate / frequency;
        return std::min(frames, written);
    }

    // False once the stream has failed (AUDCLNT_E_DEVICE_INVALIDATED).
    bool Answers() const {
        UINT32 padding = 0;
        return SUCCEEDED(client->GetCurrentPadding(&padding));
    }

    ~Stream() {
        if (client) {
            client->Stop();
        }
    }

    ComPtr<IAudioClient> client;
    ComPtr<IAudioRenderClient> render;
    ComPtr<IAudioClock> clock;
    std::wstring endpoint;
    PcmFormat format;
    UINT64 frequency = 0;
    UINT32 bufferFrames = 0;
    uint64_t written = 0;  // since the stream last started from empty
    bool running = false;
};

WasapiOutput::WasapiOutput()
    : bufferEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      thread_([this] { Run(); }) {
    Guard guard(lock_);
    opened_.wait(guard, [&] { return inApartment_; });
}

WasapiOutput::~WasapiOutput() {
    Guard guard(lock_, kLongestOutputWait);
    if (!guard.owns_lock()) {
        thread_.detach();  // it hangs in a decoder or the stream: left to the process's end
        return;
    }
    quit_ = true;
    guard.unlock();
    SetEvent(wake_);
    thread_.join();
    CloseHandle(wake_);
    CloseHandle(bufferEvent_);
}

void WasapiOutput::Run() {
    // The stream's objects live in the multithreaded apartment, which also lets the UI thread
    // call them (and the session volume) without an apartment of its own, from the moment the
    // constructor returns.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // A late wake-up here is a gap in the sound (Wine leaves the priority as it is).
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    {
        std::lock_guard guard(lock_);
        inApartment_ = true;
    }
    opened_.notify_all();
    for (;;) {
        const HANDLE events[] = {bufferEvent_, wake_};
        WaitForMultipleObjects(2, events, FALSE, kIdleLook);
        std::lock_guard guard(lock_);
        if (quit_) {
            break;
        }
        busySince_ = GetTickCount() | 1;  // never 0, which is idle
        Work();
        busySince_ = 0;
    }
    failed_.reset();
    stream_.reset();
    CoUninitialize();
}

// What the callers asked for, then the stream's service.
void WasapiOutput::Work() {
    if (openWanted_) {
        failed_.reset();  // the play that wants a stream waits for this, not a failing one
        ComPtr<IMMDevice> device;
        const std::wstring endpoint = DefaultEndpoint(device);
        // A stream that plays nothing moves to a new default endpoint, and is replaced when it
        // went away while it rested (the sound server restarted).
        if (stream_ && !stream_->running &&
            (stream_->endpoint != endpoint || !stream_->Answers())) {
            stream_.reset();
        }
        if (!stream_ && !endpoint.empty()) {
            stream_ = Stream::Open(*device.Get(), endpoint, bufferEvent_);
        }
        rate_ = stream_ ? stream_->format.rate : 0;
        openWanted_ = false;
        openDone_ = true;
        opened_.notify_all();
    }
    if (stream_ && resetWanted_) {
        stream_->client->Stop();
        stream_->client->Reset();
    }
    resetWanted_ = false;
    if (stream_ && startWanted_ && !stream_->running) {
        Begin();
    }
    startWanted_ = false;
    if (stream_ && stream_->running) {
        Service();
    }
}

bool WasapiOutput::OpenIfNeeded(Guard& guard) {
    if (stream_ && stream_->running) {
        return true;  // the next file follows on in the stream that plays
    }
    openWanted_ = true;
    openDone_ = false;
    SetEvent(wake_);
    return opened_.wait_for(guard, kLongestOutputWait, [&] { return openDone_; }) && stream_;
}

void WasapiOutput::Prepare() {
    Guard guard(lock_, std::defer_lock);
    if (guard.try_lock() && !stream_) {
        openWanted_ = true;
        SetEvent(wake_);
    }
}

uint32_t WasapiOutput::Start(Feed& feed) {
    Guard guard(lock_, kLongestOutputWait);
    if (!guard.owns_lock()) {
        return MCIERR_HARDWARE;
    }
    if (current_ != nullptr) {
        Silence();
    }
    if (!OpenIfNeeded(guard)) {
        return MCIERR_HARDWARE;
    }
    if (stream_->running) {
        AdaptLead(stream_->written - played_);  // a file that follows on
    }
    tail_ = nullptr;
    current_ = &feed;
    feedStart_ = stream_->written;
    feedEnd_.reset();
    // The stream and the decoder are called from the output's thread only, so that one that
    // hangs holds up no caller longer than the lock's wait.
    startWanted_ = true;
    SetEvent(wake_);
    return 0;
}

// Fills a stream at rest with the feed's first sound and starts it.
void WasapiOutput::Begin() {
    UINT32 padding = 0;
    if (FAILED(stream_->client->GetCurrentPadding(&padding))) {
        Fail();
        return;
    }
    // A decoding or stream failure while filling reaches the feed as its failure notice.
    Fill(stream_->bufferFrames - padding);
    if (stream_ && FAILED(stream_->client->Start())) {
        Fail();
        return;
    }
    if (stream_) {
        stream_->running = true;
        movedAt_ = GetTickCount();
    }
}

std::optional<uint64_t> WasapiOutput::Stop(Feed& feed) {
    Guard guard(lock_, kLongestOutputWait);
    if (!guard.owns_lock() || (current_ != &feed && tail_ != &feed)) {
        return std::nullopt;
    }
    const bool feeding = current_ == &feed;
    const uint64_t heard = played_ > feedStart_ ? played_ - feedStart_ : 0;
    Silence();
    return feeding ? std::optional<uint64_t>(heard) : std::nullopt;
}

bool WasapiOutput::Forget(Feed& feed) {
    Guard guard(lock_, kLongestOutputWait);
    if (!guard.owns_lock()) {
        return false;
    }
    if (current_ == &feed) {
        Silence();
    }
    if (tail_ == &feed) {
        tail_ = nullptr;
    }
    return true;
}

std::optional<uint64_t> WasapiOutput::Heard(const Feed& feed) const {
    if (current_ != &feed) {
        return std::nullopt;
    }
    const uint64_t played = played_;
    return played > feedStart_ ? played - feedStart_ : 0;
}

// Silences the stream at once and empties it (on the output's thread); it starts again with
// the next feed.
void WasapiOutput::Silence() {
    current_ = nullptr;
    tail_ = nullptr;
    feedEnd_.reset();
    dryAt_.reset();
    played_ = 0;
    startWanted_ = false;
    if (stream_) {
        stream_->running = false;
        stream_->written = 0;
        resetWanted_ = true;
        SetEvent(wake_);
    }
}

// The stream failed (its endpoint went away): the feed fails, the next start opens a new one.
void WasapiOutput::Fail() {
    Feed* const failed = current_;
    current_ = nullptr;
    tail_ = nullptr;
    feedEnd_.reset();
    played_ = 0;
    startWanted_ = false;
    resetWanted_ = false;
    if (failed != nullptr) {
        failed->Finished(true);
    }
    // Closed at the next open, not now: a server that stalls would hold up the close, and a
    // stream closed while its server stalls crashes Wine once the server goes on.
    failed_ = std::move(stream_);
}

void WasapiOutput::Service() {
    UINT32 padding = 0;
    const std::optional<uint64_t> played = stream_->Played();
    if (!played || FAILED(stream_->client->GetCurrentPadding(&padding))) {
        Fail();
        return;
    }
    const DWORD now = GetTickCount();
    // A thread that did not run for a while (the machine slept) has seen no stall.
    if (*played != played_ || *played >= stream_->written || now - servicedAt_ >= 1000) {
        movedAt_ = now;
    } else if (now - movedAt_ >= kLongestStall) {
        Fail();  // the sound server stalls: the play fails rather than hang on in silence
        return;
    }
    servicedAt_ = now;
    played_ = *played;
    if (Feed* const feed = current_;
        feed != nullptr && feedEnd_ && *played + LeadFrames() >= *feedEnd_) {
        current_ = nullptr;
        tail_ = feed;
        feed->Finished(false);
    }
    if (current_ != nullptr || *played < stream_->written) {
        dryAt_.reset();
    } else if (!dryAt_) {
        dryAt_ = GetTickCount();
    } else if (GetTickCount() - *dryAt_ >= kIdleGrace) {
        Silence();  // played out: the stream rests until the next feed
        return;
    }
    Fill(stream_->bufferFrames - padding);
}

// Writes up to `frames` frames of the current feed into the stream.
void WasapiOutput::Fill(uint32_t frames) {
    Feed* const feed = current_;
    if (feed == nullptr || feedEnd_ || frames == 0) {
        return;
    }
    const PcmFormat format = stream_->format;
    pcm_.clear();
    bool ended = false;
    if (!feed->Pull(format, frames, pcm_, ended)) {
        current_ = nullptr;
        feed->Finished(true);
        return;
    }
    const auto got = static_cast<UINT32>(pcm_.size() / format.channels);
    BYTE* data = nullptr;
    if (got > 0) {
        if (FAILED(stream_->render->GetBuffer(got, &data))) {
            Fail();
            return;
        }
        std::memcpy(data, pcm_.data(), got * format.channels * sizeof(float));
        stream_->render->ReleaseBuffer(got, 0);
        stream_->written += got;
    }
    if (ended) {
        feedEnd_ = stream_->written;
    }
}

bool WasapiOutput::Hangs() const {
    const DWORD since = busySince_;
    // Without the bit that kept it from 0: one ms late at most, never in the future.
    return since != 0 && GetTickCount() - (since & ~DWORD{1}) >= kLongestOutputWait.count();
}

uint64_t WasapiOutput::LeadFrames() const {
    return uint64_t{kBaseLeadMs + extraLeadMs_} * stream_->format.rate / 1000;
}

void WasapiOutput::AdaptLead(uint64_t slack) {
    const auto slackMs = static_cast<uint32_t>(slack * 1000 / stream_->format.rate);
    if (slackMs < kWantedSlackMs) {
        extraLeadMs_ =
            std::min(extraLeadMs_ + (kWantedSlackMs - slackMs), kLongestLeadMs - kBaseLeadMs);
    } else {
        extraLeadMs_ -= std::min(extraLeadMs_, (slackMs - kWantedSlackMs) / 2);
    }
}

}  // namespace tav
