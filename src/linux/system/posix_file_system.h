#pragma once

#include "platform/file_system.h"

namespace tav {

// Files and folders through POSIX calls; symbolic links are followed, as the Windows search
// follows junctions.
class PosixFileSystem : public FileSystem {
public:
    std::optional<bool> Lookup(const std::string& path) const override;
    std::unique_ptr<DirectorySearch> List(const std::string& folder) const override;
    std::optional<FolderIdentity> Identify(const std::string& folder) const override;
    bool IsRegularFile(const std::string& path) const override;
    std::optional<std::string> ReadFile(const std::string& path, std::size_t limit) const override;
    bool WriteToFile(const std::string& path, const std::string& bytes, WriteMode mode) override;
    bool ReplaceFile(const std::string& path, const std::string& bytes) override;
    std::string ExecutablePath() const override;
};

}  // namespace tav
