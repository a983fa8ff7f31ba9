#include "win32/system/win32_file_system.h"

#include <windows.h>
#undef ReplaceFile  // the interface's name, not the Win32 macro

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <string_view>
#include <utility>

namespace tav {
namespace {

constexpr DWORD kDirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;  // 0x10
constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
// What a replaced settings file hands on to its successor.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

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

// Keeps a handle only when it is a file on disk, never a device or a pipe.
HANDLE OnDisk(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// The file a path finally names, through every link; the path itself when it is no link.
// Nothing for a link that leads nowhere: it is never replaced by a file of its own.
std::optional<std::string> ResolveLinks(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    const FileHandle file(CreateFileA(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::string final(32768, '\0');
    const DWORD length = file.IsOpen()
                             ? GetFinalPathNameByHandleA(file.Get(), final.data(),
                                                         static_cast<DWORD>(final.size()), 0)
                             : 0;
    if (length == 0 || length >= final.size()) {
        return std::nullopt;
    }
    final.resize(length);
    constexpr std::string_view kLongPrefix = "\\\\?\\";
    if (final.starts_with(kLongPrefix) && final.size() > 6 && final[5] == ':') {
        final.erase(0, kLongPrefix.size());  // a plain drive path again
    }
    return final;
}

// Creates a temporary file of a fresh name beside the target, exclusively: an existing file
// or link of that name is never opened. It takes the attributes the new file is to keep.
HANDLE CreateFresh(const std::string& target, DWORD attributes, std::string& name) {
    constexpr int kAttempts = 100;
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08lx",
                      static_cast<unsigned long>(seed + static_cast<DWORD>(attempt) * 7919));
        name = target + suffix;
        const HANDLE handle =
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return handle;
        }
    }
    return INVALID_HANDLE_VALUE;
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

bool Win32FileSystem::IsRegularFile(const std::string& path) const {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotAFile) == 0;
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path,
                                                     std::size_t limit) const {
    const FileHandle file(
        OnDisk(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 8192> chunk{};
    while (bytes.size() < limit) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min(chunk.size(), limit - bytes.size()));
        if (::ReadFile(file.Get(), chunk.data(), wanted, &got, nullptr) == 0 || got == 0) {
            break;  // a short read keeps what was read before it
        }
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

bool Win32FileSystem::WriteToFile(const std::string& path, const std::string& bytes,
                                  WriteMode mode) {
    const bool append = mode == WriteMode::Append;
    FileHandle file(OnDisk(OpenForWriting(path, append ? OPEN_ALWAYS : CREATE_ALWAYS)));
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
    const std::optional<std::string> target = ResolveLinks(path);
    if (!target) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(target->c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file stays as it is, as an open for writing would fail on it.
    if (exists && (attributes & (kNotAFile | FILE_ATTRIBUTE_READONLY)) != 0) {
        return false;
    }
    std::string temporary;
    FileHandle file(CreateFresh(*target, exists ? attributes & kKeptAttributes : 0, temporary));
    if (!file.IsOpen()) {
        return false;
    }
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
    const bool closed = file.Close();
    const bool replaced = written && closed &&
                          MoveFileExA(temporary.c_str(), target->c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) {
        DeleteFileA(temporary.c_str());
    }
    return replaced;
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
