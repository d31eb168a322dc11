#pragma once

#include <utility>

#include "win32/windows_api.h"

namespace quellgate::win32 {

// Owns one Windows handle and releases it through Traits::Close. Move-only.
template <typename Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    void reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    // For APIs that hand a handle out through a pointer.
    Handle* out() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <typename H, auto CloseFunction>
struct NullIsInvalid {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { CloseFunction(handle); }
};

struct FileTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

using UniqueKey = Unique<NullIsInvalid<HKEY, &RegCloseKey>>;
using UniqueHandle = Unique<NullIsInvalid<HANDLE, &CloseHandle>>;
using UniqueFile = Unique<FileTraits>;
using UniqueFont = Unique<NullIsInvalid<HFONT, &DeleteGdiObject>>;
using UniqueBrush = Unique<NullIsInvalid<HBRUSH, &DeleteGdiObject>>;
using UniqueWindow = Unique<NullIsInvalid<HWND, &DestroyWindow>>;
using UniqueIcon = Unique<NullIsInvalid<HICON, &DestroyIcon>>;
using UniqueBitmap = Unique<NullIsInvalid<HBITMAP, &DeleteGdiObject>>;
using UniqueDc = Unique<NullIsInvalid<HDC, &DeleteDC>>;  // from CreateCompatibleDC
using UniqueModule = Unique<NullIsInvalid<HMODULE, &FreeLibrary>>;

}  // namespace quellgate::win32
