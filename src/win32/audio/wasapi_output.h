#pragma once

// The Media Foundation device's one output stream: a shared-mode WASAPI stream that stays open
// across files, so that one file follows another without the start-up of a new stream between
// them.

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>  // and std::chrono: <chrono> itself holds a literal CP932 cannot spell
#include <optional>
#include <thread>
#include <vector>

#include "win32/audio/pcm_converter.h"

namespace tav {

// The longest a call waits for the output's thread (busy with a stalled decoder or stream), so
// that it fails within the 5 s its callers are promised.
constexpr auto kLongestOutputWait = std::chrono::milliseconds(4500);

// A file that feeds the output. Called with the output's lock held, from either thread.
class Feed {
public:
    virtual ~Feed() = default;
    // Appends up to `frames` frames in format `to` to `out`; false on a decoding error. Sets
    // `ended` once no more sound follows.
    virtual bool Pull(PcmFormat to, uint32_t frames, std::vector<float>& out, bool& ended) = 0;
    // From the output's thread: the end was heard (a notice lead early), or the stream or the
    // decoder failed. The feed no longer feeds the output.
    virtual void Finished(bool failed) = 0;
};

class WasapiOutput {
public:
    WasapiOutput();   // returns once the multithreaded apartment exists (see Run)
    ~WasapiOutput();  // closes the stream
    WasapiOutput(const WasapiOutput&) = delete;
    WasapiOutput& operator=(const WasapiOutput&) = delete;

    // Begins to open a stream when none is open, without waiting for it: the play that
    // follows need not wait as long.
    void Prepare();
    // `feed` follows what the stream still plays, in a stream opened (on the default endpoint)
    // when none is open, none is left after a failure, or the default endpoint changed while
    // nothing played. Another feed that was feeding is silenced. 0 or an MCI error code.
    uint32_t Start(Feed& feed);
    // Silences the stream at once when it plays `feed` (also the end of a finished feed); the
    // number of the feed's frames heard while it was feeding, or nothing.
    std::optional<uint64_t> Stop(Feed& feed);
    // The feed is going away: the output forgets it, silencing it while it feeds. False when
    // the output's thread hangs (maybe in the feed): the feed must then stay as it is.
    bool Forget(Feed& feed);
    // The frames of `feed` heard while it is feeding; nothing when it does not. Waits for
    // nothing.
    std::optional<uint64_t> Heard(const Feed& feed) const;
    // The output's thread has been busy for the longest wait (a decoder or the stream hangs).
    // Waits for nothing.
    bool Hangs() const;
    // The stream's rate; 0 before one is open.
    uint32_t Rate() const { return rate_; }

private:
    struct Stream;
    using Guard = std::unique_lock<std::timed_mutex>;

    void Run();
    void Work();
    bool OpenIfNeeded(Guard& guard);
    void Begin();
    void Service();
    void Fill(uint32_t frames);
    void Silence();
    void Fail();
    uint64_t LeadFrames() const;
    void AdaptLead(uint64_t slack);

    std::timed_mutex lock_;
    std::condition_variable_any opened_;
    std::unique_ptr<Stream> stream_;
    std::unique_ptr<Stream> failed_;  // the last stream that failed, closed at the next open
    std::atomic<Feed*> current_ = nullptr;
    Feed* tail_ = nullptr;  // a finished feed whose last sound the stream still plays
    uint64_t feedStart_ = 0;
    std::optional<uint64_t> feedEnd_;
    std::optional<DWORD> dryAt_;  // when the stream last ran out of sound with nothing to feed it
    DWORD movedAt_ = 0;           // when the position last moved, or had nothing to play
    DWORD servicedAt_ = 0;        // when the thread last looked at the running stream
    std::atomic<uint64_t> played_ = 0;
    std::atomic<DWORD> busySince_ = 0;  // the tick its thread began its work, 0 between
    std::atomic<uint32_t> rate_ = 0;
    uint32_t extraLeadMs_ = 0;
    bool openWanted_ = false;
    bool openDone_ = false;
    bool startWanted_ = false;  // the current feed starts the stream at rest
    bool resetWanted_ = false;  // the stream is silenced and waits to be stopped and emptied
    bool inApartment_ = false;  // the thread has entered the multithreaded apartment
    bool quit_ = false;
    std::vector<float> pcm_;
    HANDLE bufferEvent_;
    HANDLE wake_;
    std::thread thread_;  // last: started when everything else is in place
};

}  // namespace tav
