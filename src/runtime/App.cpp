#include "App.h"

AppObject App;

namespace {
constexpr const wchar_t* kInstanceMutexName = L"Local\\Kalvory.SingleInstance";
constexpr size_t kLongestPath = 32768;

// A drive's root keeps its backslash ("D:\"), as the folder of a program.
std::wstring FolderOfModule(const std::wstring& modulePath) {
    const size_t slash = modulePath.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L"";
    std::wstring folder = modulePath.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}
}  // namespace

std::wstring AppObject::ModulePath() const {
    if (!modulePathOverride_.empty()) return modulePathOverride_;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0 || path.size() > kLongestPath) return L"";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring AppObject::Path() const { return FolderOfModule(ModulePath()); }

bool AppObject::PrevInstance() {
    if (!prevInstanceKnown_) {
        // The mutex lives in the user's session and is held until the process
        // ends, so a later start of the same user sees it. A copy running
        // elevated or under another token holds one this process may not
        // open: that one is running too.
        HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
        const DWORD error = GetLastError();
        instanceMutex_.reset(mutex);
        prevInstance_ = error == ERROR_ALREADY_EXISTS || (!mutex && error == ERROR_ACCESS_DENIED);
        prevInstanceKnown_ = true;
    }
    return prevInstance_;
}

// Every form is a tool window (no task-bar button, no task-list entry), so
// the flag only records the program's wish.
void AppObject::SetTaskVisible(bool visible) { taskVisible_ = visible; }

VS_FIXEDFILEINFO AppObject::VersionInfo() const {
    VS_FIXEDFILEINFO info{};
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (!found) return info;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    if (!data) return info;
    // The fixed part follows the block's key and padding; find it by its signature.
    for (DWORD at = 0; at + sizeof(info) <= size; at += 4) {
        DWORD signature;
        memcpy(&signature, data + at, sizeof(signature));
        if (signature == VS_FFI_SIGNATURE) {
            memcpy(&info, data + at, sizeof(info));
            break;
        }
    }
    return info;
}

int AppObject::Major() const { return HIWORD(VersionInfo().dwFileVersionMS); }
int AppObject::Minor() const { return LOWORD(VersionInfo().dwFileVersionMS); }
int AppObject::Revision() const { return LOWORD(VersionInfo().dwFileVersionLS); }
