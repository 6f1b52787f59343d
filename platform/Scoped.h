// Move-only owners of Win32 handles: one template, one alias per kind of handle.
#pragma once

#include <windows.h>
#include <objbase.h>

// Traits name the handle type, its invalid value and how it is closed.
template <typename Traits>
class CScoped {
public:
    using Type = typename Traits::Type;

    CScoped() = default;
    explicit CScoped(Type value) : value_(value) {}
    ~CScoped() { reset(); }

    CScoped(const CScoped&) = delete;
    CScoped& operator=(const CScoped&) = delete;
    CScoped(CScoped&& other) noexcept : value_(other.release()) {}
    CScoped& operator=(CScoped&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }

    Type release() {
        Type value = value_;
        value_ = Traits::Invalid();
        return value;
    }

    // Closing keeps the caller's last-error value: callers often read it after
    // the holder has gone out of scope.
    void reset(Type value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) {
            DWORD lastError = GetLastError();
            Traits::Close(value_);
            SetLastError(lastError);
        }
        value_ = value;
    }

    // Frees the old value first, so an out-parameter can fill the holder.
    Type* put() {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

template <typename T, void (*CloseFn)(T)>
struct NullInvalid {
    using Type = T;
    static T Invalid() { return nullptr; }
    static void Close(T value) { CloseFn(value); }
};

template <void (*CloseFn)(HANDLE)>
struct MinusOneInvalid {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE value) { CloseFn(value); }
};

inline void CloseKey(HKEY key) { RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void CloseFind(HANDLE handle) { FindClose(handle); }
inline void CloseModule(HMODULE module) { FreeLibrary(module); }
inline void CloseGdi(HGDIOBJ object) { DeleteObject(object); }

using CScopedKey = CScoped<NullInvalid<HKEY, CloseKey>>;
using CScopedHandle = CScoped<NullInvalid<HANDLE, CloseKernelHandle>>;
using CScopedModule = CScoped<NullInvalid<HMODULE, CloseModule>>;
using CScopedGdi = CScoped<NullInvalid<HGDIOBJ, CloseGdi>>;
using CScopedFile = CScoped<MinusOneInvalid<CloseKernelHandle>>;
using CScopedFind = CScoped<MinusOneInvalid<CloseFind>>;

// A block of the process heap, freed with the holder; null when it could
// not be had.
class CHeapBlock {
public:
    explicit CHeapBlock(size_t bytes, bool zeroed = false)
        : data_(HeapAlloc(GetProcessHeap(), zeroed ? HEAP_ZERO_MEMORY : 0, bytes ? bytes : 1)) {}
    ~CHeapBlock() { if (data_) HeapFree(GetProcessHeap(), 0, data_); }
    CHeapBlock(const CHeapBlock&) = delete;
    CHeapBlock& operator=(const CHeapBlock&) = delete;

    // Frees the block and takes a new one of that size.
    void reset(size_t bytes) {
        if (data_) HeapFree(GetProcessHeap(), 0, data_);
        data_ = HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
    }

    void* get() const { return data_; }
    template <typename T>
    T* as() const { return static_cast<T*>(data_); }
    explicit operator bool() const { return data_ != nullptr; }

private:
    void* data_;
};

// Holds one COM interface pointer and releases it.
template <typename I>
class CComRef {
public:
    CComRef() = default;
    ~CComRef() { reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    I* get() const { return ptr_; }
    I* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void reset() {
        if (ptr_) ptr_->Release();
        ptr_ = nullptr;
    }
    void** put_void() {
        reset();
        return reinterpret_cast<void**>(&ptr_);
    }

private:
    I* ptr_ = nullptr;
};

// COM for the lifetime of one operation (each shortcut initialises its own).
class CComScope {
public:
    CComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CComScope() { if (initialised_) CoUninitialize(); }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    bool initialised_;
};
