#include "win32/win32_file_system.h"

#include <windows.h>
#undef ReplaceFile  // the interface's name, not the Win32 macro

#include <limits>
#include <utility>

namespace tav {
namespace {

constexpr DWORD kDirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;  // 0x10

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const bool closed = !IsOpen() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

// A link (reparse point) that leads nowhere, dangling or looping on itself, cannot be opened
// through; backup semantics let a folder be opened, and no access right is needed.
bool LeadsSomewhere(const std::string& path) {
    const FileHandle target(
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return target.IsOpen();
}

// Owns a search handle; the first entry comes with the handle from FindFirstFileA. Links that
// lead nowhere are left out.
class Win32DirectorySearch : public DirectorySearch {
public:
    Win32DirectorySearch(HANDLE handle, const WIN32_FIND_DATAA& first, std::string folder)
        : handle_(handle), data_(first), folder_(std::move(folder)) {}
    ~Win32DirectorySearch() override { FindClose(handle_); }
    Win32DirectorySearch(const Win32DirectorySearch&) = delete;
    Win32DirectorySearch& operator=(const Win32DirectorySearch&) = delete;

    std::optional<DirectoryEntry> Next() override {
        for (;;) {
            if (!haveEntry_ && FindNextFileA(handle_, &data_) == 0) {
                return std::nullopt;
            }
            haveEntry_ = false;
            if ((data_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
                LeadsSomewhere(folder_ + data_.cFileName)) {
                return DirectoryEntry{data_.cFileName,
                                      (data_.dwFileAttributes & kDirectoryAttribute) != 0};
            }
        }
    }

private:
    HANDLE handle_;
    WIN32_FIND_DATAA data_;
    std::string folder_;
    bool haveEntry_ = true;
};

HANDLE OpenForWriting(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t rest = bytes.size() - done;
        const auto chunk = static_cast<DWORD>(
            rest < std::numeric_limits<DWORD>::max() ? rest : std::numeric_limits<DWORD>::max());
        DWORD written = 0;
        if (WriteFile(file, bytes.data() + done, chunk, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

std::optional<bool> Win32FileSystem::Lookup(const std::string& path) const {
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    FindClose(search);
    return (data.dwFileAttributes & kDirectoryAttribute) != 0;
}

std::unique_ptr<DirectorySearch> Win32FileSystem::List(const std::string& folder) const {
    WIN32_FIND_DATAA first;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &first);
    if (search == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<Win32DirectorySearch>(search, first, folder);
}

std::optional<FolderIdentity> Win32FileSystem::Identify(const std::string& folder) const {
    // Backup semantics let CreateFileA open a folder; no access right is needed for the query.
    const FileHandle handle(
        CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle.IsOpen() || GetFileInformationByHandle(handle.Get(), &info) == 0) {
        return std::nullopt;
    }
    const uint64_t index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return FolderIdentity{info.dwVolumeSerialNumber, index};
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) const {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE) {
        return std::string();
    }
    std::string bytes(size, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (::ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &got, nullptr) == 0 ||
            got == 0) {
            break;  // a short read keeps what was read before it
        }
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32FileSystem::WriteToFile(const std::string& path, const std::string& bytes,
                                  WriteMode mode) {
    const bool append = mode == WriteMode::Append;
    FileHandle file(OpenForWriting(path, append ? OPEN_ALWAYS : CREATE_ALWAYS));
    if (!file.IsOpen()) {
        return false;
    }
    if (append && SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes);
    return file.Close() && written;
}

bool Win32FileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    FileHandle file(OpenForWriting(temporary, CREATE_ALWAYS));
    if (!file.IsOpen()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
    const bool closed = file.Close();
    if (!written || !closed ||
        MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

std::string Win32FileSystem::ExecutablePath() const {
    // GetModuleFileNameA fills the buffer to the brim and cuts the name when it is too small,
    // so grow the buffer until the name fits with room to spare.
    constexpr DWORD kLongestPath = 32768;
    for (DWORD size = MAX_PATH + 1; size <= kLongestPath * 2; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return std::string();
        }
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
    }
    return std::string();
}

}  // namespace tav
