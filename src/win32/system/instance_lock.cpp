#include "win32/system/instance_lock.h"

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>

#include "win32/window/main_window.h"

namespace tav {
namespace {

// The settings file as the start-up names it: the program's name with .ini, in the current
// directory; upper-cased, as the file system ignores case.
std::wstring SettingsPath() {
    std::wstring module(MAX_PATH, L'\0');
    module.resize(GetModuleFileNameW(nullptr, module.data(), MAX_PATH));
    std::wstring name = module.substr(module.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.rfind(L'.')) + L".ini";
    std::wstring full(GetFullPathNameW(name.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    for (wchar_t& c : full) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return full;
}

// An object name may not hold a backslash and is limited in length: the path's FNV-1a hash.
std::wstring LockName() {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const wchar_t c : SettingsPath()) {
        hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ULL;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Tavrello-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace

InstanceLock::InstanceLock() {
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HWND),
                                  LockName().c_str());
    if (mapping_ == nullptr) {
        return;
    }
    owned_ = GetLastError() != ERROR_ALREADY_EXISTS;
    shared_ = static_cast<HWND*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(HWND)));
}

InstanceLock::~InstanceLock() {
    if (shared_ != nullptr) {
        UnmapViewOfFile(shared_);
    }
    if (mapping_ != nullptr) {
        CloseHandle(mapping_);
    }
}

void InstanceLock::PublishWindow(HWND window) {
    if (owned_ && shared_ != nullptr) {
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(shared_), window);
    }
}

void InstanceLock::RaiseOwner() const {
    constexpr int kTries = 30;
    for (int i = 0; i < kTries && shared_ != nullptr; ++i) {
        const HWND window = static_cast<HWND>(InterlockedCompareExchangePointer(
            reinterpret_cast<void* volatile*>(shared_), nullptr, nullptr));
        char className[16] = {};
        if (window != nullptr && GetClassNameA(window, className, sizeof className) > 0 &&
            std::string(className) == kMainWindowClass) {
            if (IsIconic(window)) {
                ShowWindow(window, SW_RESTORE);
            }
            SetForegroundWindow(window);
            return;
        }
        Sleep(100);
    }
}

}  // namespace tav
