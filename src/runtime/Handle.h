#pragma once
#include <windows.h>

#include <utility>

// Owners for the few handle kinds the program creates itself.
template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return Traits::valid(handle_); }
    H release() { return std::exchange(handle_, Traits::empty()); }
    void reset(H handle = Traits::empty()) {
        if (Traits::valid(handle_)) Traits::close(handle_);
        handle_ = handle;
    }

private:
    H handle_ = Traits::empty();
};

// A handle is an opaque value, not a pointer to data, whatever its type says:
// cppcheck would have the validity tests take pointers to const.
struct KernelHandleTraits {
    static HANDLE empty() { return nullptr; }
    // cppcheck-suppress constParameter
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct GdiObjectTraits {
    static HGDIOBJ empty() { return nullptr; }
    // cppcheck-suppress constParameter
    static bool valid(HGDIOBJ h) { return h != nullptr; }
    static void close(HGDIOBJ h) { DeleteObject(h); }
};
struct MenuTraits {
    static HMENU empty() { return nullptr; }
    // cppcheck-suppress constParameter
    static bool valid(HMENU h) { return h != nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
    static HICON empty() { return nullptr; }
    // cppcheck-suppress constParameter
    static bool valid(HICON h) { return h != nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct FindTraits {
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    // cppcheck-suppress constParameter
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using GdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using MenuHandle = UniqueHandle<HMENU, MenuTraits>;
using IconHandle = UniqueHandle<HICON, IconTraits>;
using FindHandle = UniqueHandle<HANDLE, FindTraits>;
