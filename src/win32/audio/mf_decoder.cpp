#include "win32/audio/mf_decoder.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

namespace tav {
namespace {

constexpr DWORD kAudio = MF_SOURCE_READER_FIRST_AUDIO_STREAM;
constexpr LONGLONG kUnitsPerMs = 10000;  // Media Foundation counts time in 100 ns

float Sample(const BYTE* at, uint32_t bits, bool isFloat) {
    if (isFloat) {
        float value = 0;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    switch (bits) {
    case 8:
        return (at[0] - 128) / 128.0F;
    case 24: {
        const int32_t value = (at[0] << 8 | at[1] << 16 | at[2] << 24) >> 8;
        return static_cast<float>(value) / 8388608.0F;
    }
    case 32: {
        int32_t value = 0;
        std::memcpy(&value, at, sizeof value);
        return static_cast<float>(value) / 2147483648.0F;
    }
    default: {
        int16_t value = 0;
        std::memcpy(&value, at, sizeof value);
        return value / 32768.0F;
    }
    }
}

}  // namespace

uint32_t MfDecoder::Open(const MediaFoundation& library, const std::string& path,
                         std::unique_ptr<MfDecoder>& decoder) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MCIERR_FILE_NOT_FOUND;
    }
    std::unique_ptr<MfDecoder> opened(new MfDecoder);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        FAILED(library.OpenReader(path, opened->reader_.Out())) || !opened->Start(library)) {
        return MCIERR_INVALID_FILE;
    }
    decoder = std::move(opened);
    return 0;
}

// Chooses PCM, reads the length and the first sound; false when the file cannot be decoded.
bool MfDecoder::Start(const MediaFoundation& library) {
    PROPVARIANT duration;
    PropVariantInit(&duration);
    const bool started = ChoosePcm(library) &&
                         SUCCEEDED(reader_->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE,
                                                                     MF_PD_DURATION, &duration)) &&
                         Next(pending_) != Read::Failed;
    if (started) {
        lengthMs_ =
            static_cast<uint32_t>((duration.uhVal.QuadPart + kUnitsPerMs / 2) / kUnitsPerMs);
    }
    PropVariantClear(&duration);
    return started;
}

// Integer PCM in the file's rate and channels; float where the decoder gives no integer.
bool MfDecoder::ChoosePcm(const MediaFoundation& library) {
    reader_->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    if (FAILED(reader_->SetStreamSelection(kAudio, TRUE))) {
        return false;
    }
    for (const GUID& subtype : {MFAudioFormat_PCM, MFAudioFormat_Float}) {
        ComPtr<IMFMediaType> wanted;
        if (FAILED(library.CreateMediaType(wanted.Out()))) {
            return false;
        }
        wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        wanted->SetGUID(MF_MT_SUBTYPE, subtype);
        if (SUCCEEDED(reader_->SetCurrentMediaType(kAudio, nullptr, wanted.Get()))) {
            break;
        }
    }
    ComPtr<IMFMediaType> chosen;
    GUID subtype{};
    UINT32 bits = 0;
    if (FAILED(reader_->GetCurrentMediaType(kAudio, chosen.Out())) ||
        FAILED(chosen->GetGUID(MF_MT_SUBTYPE, &subtype)) ||
        FAILED(chosen->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &format_.rate)) ||
        FAILED(chosen->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &format_.channels)) ||
        FAILED(chosen->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits))) {
        return false;
    }
    float_ = subtype == MFAudioFormat_Float;
    bits_ = bits;
    const bool known = float_ ? bits == 32 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    return (subtype == MFAudioFormat_PCM || float_) && known && format_.rate > 0 &&
           format_.channels > 0;
}

void MfDecoder::Append(const BYTE* data, DWORD bytes, std::vector<float>& samples) const {
    const uint32_t size = bits_ / 8;
    for (DWORD at = 0; at + size <= bytes; at += size) {
        samples.push_back(Sample(data + at, bits_, float_));
    }
}

MfDecoder::Read MfDecoder::Next(std::vector<float>& samples) {
    if (!pending_.empty()) {
        samples.insert(samples.end(), pending_.begin(), pending_.end());
        pending_.clear();
        return Read::More;
    }
    DWORD flags = 0;
    LONGLONG time = 0;
    ComPtr<IMFSample> sample;
    if (FAILED(reader_->ReadSample(kAudio, 0, nullptr, &flags, &time, sample.Out()))) {
        return Read::Failed;
    }
    if ((flags & MF_SOURCE_READERF_ERROR) != 0) {
        return Read::Failed;
    }
    if (sample) {
        ComPtr<IMFMediaBuffer> buffer;
        BYTE* data = nullptr;
        DWORD bytes = 0;
        if (FAILED(sample->ConvertToContiguousBuffer(buffer.Out())) ||
            FAILED(buffer->Lock(&data, nullptr, &bytes))) {
            return Read::Failed;
        }
        const size_t before = samples.size();
        Append(data, bytes, samples);
        buffer->Unlock();
        const size_t got = samples.size() - before;
        size_t early = 0;
        if (seekTarget_ > time) {
            // The reader landed before the seek's target: the sound up to it is dropped.
            early =
                static_cast<size_t>((seekTarget_ - time) * format_.rate / (kUnitsPerMs * 1000)) *
                format_.channels;
            const auto from = samples.begin() + static_cast<std::ptrdiff_t>(before);
            samples.erase(from, from + static_cast<std::ptrdiff_t>(std::min(early, got)));
        }
        if (early < got) {
            seekTarget_ = -1;
        }
    }
    return (flags & MF_SOURCE_READERF_ENDOFSTREAM) != 0 ? Read::End : Read::More;
}

bool MfDecoder::Seek(uint32_t ms) {
    pending_.clear();
    PROPVARIANT position;
    PropVariantInit(&position);
    position.vt = VT_I8;
    position.hVal.QuadPart = static_cast<LONGLONG>(ms) * kUnitsPerMs;
    const bool moved = SUCCEEDED(reader_->SetCurrentPosition(GUID_NULL, position));
    seekTarget_ = moved ? position.hVal.QuadPart : -1;
    return moved;
}

}  // namespace tav
