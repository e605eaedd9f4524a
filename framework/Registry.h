#pragma once

#include <windows.h>

#include <string_view>

#include "framework/Handles.h"

// Reads the registry below one root key, one key at a time. Key and value names are the
// program's own texts (Shift-JIS); they reach the system through the W calls so that they
// mean the same under every ANSI code page.
class TRegistry {
public:
  explicit TRegistry(REGSAM access) noexcept : FAccess(access) {}
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const noexcept { return FRootKey; }
  // Closes the current key: its path meant something only below the old root.
  void SetRootKey(HKEY root) noexcept;
  HKEY CurrentKey() const noexcept { return FCurrentKey.Get(); }

  // A path that starts with "\" is taken from the root, any other from the current key (or
  // the root when none is open). On success the new key becomes the current one and the
  // previous one is closed; on failure the current key stays as it was.
  bool OpenKey(std::string_view path, bool canCreate = false);

  // The stored size of a value of the current key in bytes, -1 when it cannot be queried.
  int GetDataSize(std::string_view name) const;

  // Reads a value of at most size bytes into buffer and returns its stored size; a missing
  // value reads as 0 bytes. Text and DWORD values, and values longer than the buffer, are
  // refused with an error.
  int ReadBinaryData(std::string_view name, void* buffer, int size);

private:
  // Values of the current key, or of the root itself while no key is open.
  HKEY ValueKey() const noexcept { return FCurrentKey ? FCurrentKey.Get() : FRootKey; }

  REGSAM FAccess;
  HKEY FRootKey = HKEY_CURRENT_USER;
  TUniqueKey FCurrentKey;
};
