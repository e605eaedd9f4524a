#pragma once

#include <windows.h>

#include <utility>

// One owner per kind of system handle. Reset reports whether the system accepted the close,
// for the few callers that must say so.
template <class Traits>
class TUniqueHandle {
public:
  using Handle = typename Traits::Handle;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(Handle handle) noexcept : FHandle(handle) {}
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  ~TUniqueHandle() { Reset(); }

  Handle Get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != Traits::Invalid(); }

  Handle Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }

  bool Reset(Handle handle = Traits::Invalid()) noexcept {
    Handle old = std::exchange(FHandle, handle);
    return old == Traits::Invalid() || Traits::Close(old);
  }

private:
  Handle FHandle = Traits::Invalid();
};

struct TModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return FreeLibrary(handle) != FALSE; }
};

struct TKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return RegCloseKey(handle) == ERROR_SUCCESS; }
};

struct TWindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return DestroyWindow(handle) != FALSE; }
};

template <class GdiHandle>
struct TGdiObjectTraits {
  using Handle = GdiHandle;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return DeleteObject(handle) != FALSE; }
};

struct TFileTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool Close(Handle handle) noexcept { return CloseHandle(handle) != FALSE; }
};

using TUniqueModule = TUniqueHandle<TModuleTraits>;
using TUniqueKey = TUniqueHandle<TKeyTraits>;
using TUniqueWindow = TUniqueHandle<TWindowTraits>;
using TUniqueFont = TUniqueHandle<TGdiObjectTraits<HFONT>>;
using TUniqueBrush = TUniqueHandle<TGdiObjectTraits<HBRUSH>>;
using TUniqueFile = TUniqueHandle<TFileTraits>;

// A function of a loaded module, or nullptr where the module has none of that name. The
// cast goes through the generic function type, which the compiler lets stand for any other.
template <class Function>
Function ProcAddress(HMODULE module, const char* name) noexcept {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A device context borrowed from a window for the length of a scope.
class TWindowDC {
public:
  explicit TWindowDC(HWND window) noexcept : FWindow(window), FDC(GetDC(window)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (FDC) ReleaseDC(FWindow, FDC);
  }
  HDC Get() const noexcept { return FDC; }

private:
  HWND FWindow;
  HDC FDC;
};

// A GDI object selected into a device context for the length of a scope.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ object) noexcept : FDC(dc), FOld(SelectObject(dc, object)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (FOld) SelectObject(FDC, FOld);
  }

private:
  HDC FDC;
  HGDIOBJ FOld;
};
