#include "win32/audio/media_foundation.h"

#include "win32/audio/com_ptr.h"

namespace tav {
namespace {

template <typename Function>
bool Find(HMODULE library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    return wide;
}

}  // namespace

std::unique_ptr<MediaFoundation> MediaFoundation::Load() {
    std::unique_ptr<MediaFoundation> loaded(new MediaFoundation);
    loaded->platform_ = LoadLibraryA("mfplat.dll");
    loaded->readWrite_ = LoadLibraryA("mfreadwrite.dll");
    decltype(&MFStartup) startup = nullptr;
    if (loaded->platform_ == nullptr || loaded->readWrite_ == nullptr ||
        !Find(loaded->platform_, "MFStartup", startup) ||
        !Find(loaded->platform_, "MFShutdown", loaded->shutdown_) ||
        !Find(loaded->platform_, "MFCreateFile", loaded->createFile_) ||
        !Find(loaded->platform_, "MFCreateMediaType", loaded->createMediaType_) ||
        !Find(loaded->readWrite_, "MFCreateSourceReaderFromByteStream", loaded->createReader_)) {
        return nullptr;
    }
    if (FAILED(startup(MF_VERSION, MFSTARTUP_LITE))) {
        loaded->shutdown_ = nullptr;  // nothing to shut down
        return nullptr;
    }
    return loaded;
}

MediaFoundation::~MediaFoundation() {
    if (shutdown_ != nullptr) {
        shutdown_();
    }
    if (readWrite_ != nullptr) {
        FreeLibrary(readWrite_);
    }
    if (platform_ != nullptr) {
        FreeLibrary(platform_);
    }
}

HRESULT MediaFoundation::OpenReader(const std::string& path, IMFSourceReader** reader) const {
    // Through a byte stream of the file rather than a URL, so that no '#' or '%' in the name
    // is taken for part of one. The stream keeps the name, whose extension picks the decoder.
    ComPtr<IMFByteStream> stream;
    HRESULT result = createFile_(MF_ACCESSMODE_READ, MF_OPENMODE_FAIL_IF_NOT_EXIST,
                                 MF_FILEFLAGS_NONE, Wide(path).c_str(), stream.Out());
    if (SUCCEEDED(result)) {
        result = createReader_(stream.Get(), nullptr, reader);
    }
    return result;
}

HRESULT MediaFoundation::CreateMediaType(IMFMediaType** type) const {
    return createMediaType_(type);
}

}  // namespace tav
