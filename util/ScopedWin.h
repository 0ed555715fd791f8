// Owners for Win32 handles and COM pointers, so that no early return leaks one.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

// A handle owner in the manner of unique_ptr: Traits names the invalid value and the close call.
template <typename Traits> class UniqueAny {
  public:
    using Handle = typename Traits::Handle;
    UniqueAny() = default;
    explicit UniqueAny(Handle h) : h_(h) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& o) noexcept : h_(o.release()) {}
    UniqueAny& operator=(UniqueAny&& o) noexcept {
        reset(o.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    Handle release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }
    // For out-parameters of creating calls.
    Handle* put() {
        reset();
        return &h_;
    }

  private:
    Handle h_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct KernelHandleTraits { // threads, events, processes: NULL when absent
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

using UniqueFile = UniqueAny<FileHandleTraits>;
using UniqueHandle = UniqueAny<KernelHandleTraits>;
using UniqueFind = UniqueAny<FindHandleTraits>;
using UniqueRegKey = UniqueAny<RegKeyTraits>;
using UniqueModule = UniqueAny<ModuleTraits>;
using UniqueGdiObject = UniqueAny<GdiObjectTraits>;

// A COM interface pointer that releases itself.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

  private:
    T* p_ = nullptr;
};

} // namespace win
