#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/text_rules.h"

namespace tav {

enum PathKind : int32_t { File = 1, Folder = 2, ContentsOnly = 3, NotFound = 4 };

struct PathParts {
    std::string drive;
    std::string directory;
    std::string baseName;
    std::string extension;
};

// Splits a rooted path ("C:\..." on Windows, "/..." on Linux) stepping over double-byte
// characters. Any other path yields empty parts.
PathParts SplitPath(std::string_view path, const TextRules& text);
PathKind TestPath(std::string_view path, const FileSystem& files, const TextRules& text);
bool EndsWithSeparator(std::string_view path, const TextRules& text);
// Whether SplitPath splits this path at all (a drive-letter or "/" root).
bool IsRootedPath(std::string_view path, const TextRules& text);
// The extension SplitPath gives for folder + name, where the folder is rooted and ends with
// the separator: lets a walk test every listed name without re-splitting its folder.
std::string_view NameExtension(std::string_view name, const TextRules& text);

}  // namespace tav
