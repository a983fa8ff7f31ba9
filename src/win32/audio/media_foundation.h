#pragma once

#include <windows.h>
// after windows.h, which they need
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <memory>
#include <string>

namespace tav {

// Media Foundation, loaded at run time: a Windows without it (the "N" editions without the
// media pack) still starts the program, which then plays through MCI.
class MediaFoundation {
public:
    // Nothing when its libraries or one of their functions cannot be loaded, or it does not
    // start.
    static std::unique_ptr<MediaFoundation> Load();
    ~MediaFoundation();
    MediaFoundation(const MediaFoundation&) = delete;
    MediaFoundation& operator=(const MediaFoundation&) = delete;

    // A source reader of the file at `path` (an ANSI path).
    HRESULT OpenReader(const std::string& path, IMFSourceReader** reader) const;
    HRESULT CreateMediaType(IMFMediaType** type) const;

private:
    MediaFoundation() = default;

    HMODULE platform_ = nullptr;
    HMODULE readWrite_ = nullptr;
    decltype(&MFShutdown) shutdown_ = nullptr;
    decltype(&MFCreateFile) createFile_ = nullptr;
    decltype(&MFCreateMediaType) createMediaType_ = nullptr;
    decltype(&MFCreateSourceReaderFromByteStream) createReader_ = nullptr;
};

}  // namespace tav
