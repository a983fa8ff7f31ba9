#include "catalogue/path.h"

#include <optional>

#include "player/text_cut.h"

namespace tav {
namespace {

// Where the directory part of a rooted path starts: after "C:" on Windows, at the leading '/'
// on Linux. Nothing for any other path.
std::optional<std::size_t> RootEnd(std::string_view path, const PathStyle& style) {
    if (style.driveLetterRoots) {
        if (path.size() >= 3 && path[1] == ':' && path[2] == style.separator) {
            return 2;
        }
        return std::nullopt;
    }
    if (!path.empty() && path[0] == style.separator) {
        return 0;
    }
    return std::nullopt;
}

// Position just behind the last single-byte `wanted` character at or after `from`.
std::optional<std::size_t> LastSingleByte(std::string_view path, std::size_t from, char wanted,
                                          const TextRules& text) {
    std::optional<std::size_t> found;
    for (std::size_t at = from; at < path.size();) {
        const std::size_t length = CharLength(path, at, text);
        if (length == 1 && path[at] == wanted) {
            found = at;
        }
        at += length;
    }
    return found;
}

}  // namespace

PathParts SplitPath(std::string_view rawPath, const TextRules& text) {
    const std::string_view path = UpToNul(rawPath);
    const PathStyle style = text.Style();
    const std::optional<std::size_t> root = RootEnd(path, style);
    if (!root) {
        return {};
    }
    const std::size_t nameStart = *LastSingleByte(path, *root, style.separator, text) + 1;
    const std::string_view name = path.substr(nameStart);
    const std::size_t dot = LastSingleByte(name, 0, '.', text).value_or(name.size());

    PathParts parts;
    parts.drive = std::string(path.substr(0, *root));
    parts.directory = std::string(path.substr(*root, nameStart - *root));
    parts.baseName = std::string(name.substr(0, dot));
    parts.extension = std::string(name.substr(dot));
    return parts;
}

bool EndsWithSeparator(std::string_view rawPath, const TextRules& text) {
    const std::string_view path = UpToNul(rawPath);
    const std::optional<std::size_t> last = LastSingleByte(path, 0, text.Style().separator, text);
    return last && *last + 1 == path.size();
}

bool IsRootedPath(std::string_view path, const TextRules& text) {
    return RootEnd(UpToNul(path), text.Style()).has_value();
}

std::string_view NameExtension(std::string_view rawName, const TextRules& text) {
    std::string_view name = UpToNul(rawName);
    if (const auto separator = LastSingleByte(name, 0, text.Style().separator, text)) {
        name.remove_prefix(*separator + 1);
    }
    return name.substr(LastSingleByte(name, 0, '.', text).value_or(name.size()));
}

PathKind TestPath(std::string_view rawPath, const FileSystem& files, const TextRules& text) {
    const std::string path(UpToNul(rawPath));
    if (path.empty()) {
        return NotFound;
    }
    const bool trailing = EndsWithSeparator(path, text);
    const std::string bare = trailing ? path.substr(0, path.size() - 1) : path;
    if (const std::optional<bool> isDirectory = files.Lookup(bare)) {
        return *isDirectory ? Folder : File;
    }
    const std::string folder = trailing ? path : path + text.Style().separator;
    if (auto search = files.List(folder); search && search->Next()) {
        return ContentsOnly;
    }
    return NotFound;
}

}  // namespace tav
