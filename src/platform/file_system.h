#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tav {

struct DirectoryEntry {
    std::string name;  // as the platform returns it, "." and ".." included where it has them
    bool isDirectory = false;
};

// One running listing of a folder's entries, in the platform's order. Only names that lead to
// a folder or a file are listed: a link that leads nowhere (dangling, or looping on itself)
// is left out, as is anything else no walk or play can use.
class DirectorySearch {
public:
    virtual ~DirectorySearch() = default;
    virtual std::optional<DirectoryEntry> Next() = 0;  // nothing at the end
};

// Identifies a folder on its volume, so that a walk can tell when it comes back to a folder
// through a link (device and inode; volume serial number and file index on Windows).
struct FolderIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FolderIdentity&) const = default;
};

enum class WriteMode {
    Truncate,  // an existing file is emptied first (CREATE_ALWAYS)
    Append,    // an existing file is kept, a missing one created (OPEN_ALWAYS)
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Looks one path up exactly (wildcards as the platform search defines them). Nothing when
    // absent or not reachable; otherwise whether it is a directory.
    virtual std::optional<bool> Lookup(const std::string& path) const = 0;
    // Lists the entries of a folder; the path ends with the separator. Null when the folder
    // cannot be listed.
    virtual std::unique_ptr<DirectorySearch> List(const std::string& folder) const = 0;
    virtual std::optional<FolderIdentity> Identify(const std::string& folder) const = 0;

    // Whether the path names a regular file (links followed); never blocks.
    virtual bool IsRegularFile(const std::string& path) const = 0;
    // Reads the first `limit` bytes of a regular file (links followed), without blocking.
    // Nothing when the file cannot be opened or is no regular file (folder, FIFO, device).
    virtual std::optional<std::string> ReadFile(const std::string& path,
                                                std::size_t limit) const = 0;
    // Opens, writes the bytes at the end, closes. False when the open fails or the path names
    // no regular file; never blocks on a FIFO.
    virtual bool WriteToFile(const std::string& path, const std::string& bytes, WriteMode mode) = 0;
    // Replaces the file in one step: a temporary file of a fresh name is created exclusively
    // in the same folder, written, flushed and renamed over it. A link is resolved and its
    // target replaced in the target's folder; the new file keeps the old one's permissions; a
    // read-only file or one that is no regular file is left alone. On any failure the old file
    // stays as it was and the result is false.
    virtual bool ReplaceFile(const std::string& path, const std::string& bytes) = 0;

    virtual std::string ExecutablePath() const = 0;
};

}  // namespace tav
