#pragma once

// The real file system and text rules of the platform the tests run on.
#ifdef _WIN32
#include "linux/system/native_text.h"  // portable: the core tests check UTF-8 paths on Windows too
#include "win32/system/win32_file_system.h"
#include "win32/system/win32_text.h"
namespace tav::test {
using NativeFileSystem = Win32FileSystem;
using NativeTextRules = AnsiTextRules;
}  // namespace tav::test
#else
#include "linux/system/native_text.h"
#include "linux/system/posix_file_system.h"
namespace tav::test {
using NativeFileSystem = PosixFileSystem;
using NativeTextRules = Utf8TextRules;
}  // namespace tav::test
#endif

#include <optional>
#include <string>

namespace tav::test {
// What a test reads back of a file the program wrote: all of it, far beyond any limit.
inline std::optional<std::string> ReadBack(const std::string& path) {
    return NativeFileSystem().ReadFile(path, std::size_t{1} << 24);
}
}  // namespace tav::test
