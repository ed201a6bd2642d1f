#pragma once
// RAII holders for Windows handles, registry keys, DCs, GDI objects and COM
// interfaces. Each closes or releases what it holds, also when an error
// passes.
#include <utility>
#include <windows.h>
#include <objbase.h>

namespace base {

// A holder of one handle-like value with a closing function.
template <typename T, typename Traits> class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return value_; }
    T* put() {
        reset();
        return &value_;
    }
    explicit operator bool() const { return Traits::valid(value_); }
    T release() { return std::exchange(value_, Traits::invalid()); }
    void reset(T value = Traits::invalid()) {
        if (Traits::valid(value_)) {
            Traits::close(value_);
        }
        value_ = value;
    }

  private:
    T value_ = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
// A kernel handle (file, process, thread, event); INVALID_HANDLE_VALUE and
// null both count as empty.
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { FindClose(h); }
};
using UniqueFindHandle = UniqueResource<HANDLE, FindHandleTraits>;

struct RegKeyTraits {
    static HKEY invalid() { return nullptr; }
    static bool valid(HKEY k) { return k != nullptr; }
    static void close(HKEY k) { RegCloseKey(k); }
};
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;

struct ModuleTraits {
    static HMODULE invalid() { return nullptr; }
    static bool valid(HMODULE m) { return m != nullptr; }
    static void close(HMODULE m) { FreeLibrary(m); }
};
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;

template <typename T> struct GdiObjectTraits {
    static T invalid() { return nullptr; }
    static bool valid(T o) { return o != nullptr; }
    static void close(T o) { DeleteObject(o); }
};
// A GDI object (font, brush, pen, bitmap, region) that DeleteObject frees.
template <typename T> using UniqueGdiObject = UniqueResource<T, GdiObjectTraits<T>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueRegion = UniqueGdiObject<HRGN>;

struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static bool valid(HWND w) { return w != nullptr; }
    static void close(HWND w) { DestroyWindow(w); }
};
// A window that DestroyWindow closes (on the thread that created it).
using UniqueWindow = UniqueResource<HWND, WindowTraits>;

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static bool valid(HICON i) { return i != nullptr; }
    static void close(HICON i) { DestroyIcon(i); }
};
using UniqueIcon = UniqueResource<HICON, IconTraits>;

struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static bool valid(HDC dc) { return dc != nullptr; }
    static void close(HDC dc) { DeleteDC(dc); }
};
// A DC made by CreateCompatibleDC.
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;

// A window's DC from GetDC (null window: the screen), released on scope exit.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC; the previous one is selected back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer, released on scope exit.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // For out-parameters: releases what is held and gives the slot.
    T** put() {
        reset();
        return &ptr_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (ptr_ != nullptr) {
            std::exchange(ptr_, nullptr)->Release();
        }
    }

  private:
    T* ptr_ = nullptr;
};

// Memory the shell or COM allocated with CoTaskMemAlloc (an item id list,
// a string), freed with CoTaskMemFree.
template <typename T> class CoTaskMemPtr {
  public:
    CoTaskMemPtr() = default;
    explicit CoTaskMemPtr(T* ptr) : ptr_(ptr) {}
    ~CoTaskMemPtr() { CoTaskMemFree(ptr_); }
    CoTaskMemPtr(const CoTaskMemPtr&) = delete;
    CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;
    T* get() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }

  private:
    T* ptr_ = nullptr;
};

// COM for the calling thread, uninitialised again on scope exit when the
// initialisation succeeded (S_OK or S_FALSE).
class ComApartment {
  public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
        : result_(CoInitializeEx(nullptr, model)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT result() const { return result_; }

  private:
    HRESULT result_;
};

} // namespace base
