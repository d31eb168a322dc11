#pragma once

#include <utility>

#include "win32/windows_api.h"

#include <objbase.h>

namespace quellgate::win32 {

// Holds one reference to a COM object. Move-only.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }
    // For APIs that hand a new reference out through a pointer.
    Interface** out() {
        reset();
        return &pointer_;
    }

private:
    Interface* pointer_ = nullptr;
};

// COM on this thread, in a single-threaded apartment, for as long as it lives.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }

private:
    bool initialised_;
};

}  // namespace quellgate::win32
