#include "framework/Registry.h"

#include <string>

#include "framework/Exception.h"
#include "framework/Text.h"

void TRegistry::SetRootKey(HKEY root) noexcept {
  FCurrentKey.Reset();
  FRootKey = root;
}

bool TRegistry::OpenKey(std::string_view path, bool canCreate) {
  HKEY parent = FCurrentKey ? FCurrentKey.Get() : FRootKey;
  if (!path.empty() && path.front() == '\\') {
    parent = FRootKey;
    path.remove_prefix(1);
  }
  const std::wstring widePath = FromShiftJis(path);
  HKEY opened = nullptr;
  const LONG status =
      canCreate ? RegCreateKeyExW(parent, widePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  FAccess, nullptr, &opened, nullptr)
                : RegOpenKeyExW(parent, widePath.c_str(), 0, FAccess, &opened);
  if (status != ERROR_SUCCESS) return false;
  FCurrentKey.Reset(opened);
  return true;
}

int TRegistry::GetDataSize(std::string_view name) const {
  DWORD size = 0;
  const LONG status =
      RegQueryValueExW(ValueKey(), FromShiftJis(name).c_str(), nullptr, nullptr, nullptr, &size);
  return status == ERROR_SUCCESS ? static_cast<int>(size) : -1;
}

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int size) {
  const std::wstring wideName = FromShiftJis(name);
  DWORD type = REG_NONE;
  DWORD stored = 0;
  if (RegQueryValueExW(ValueKey(), wideName.c_str(), nullptr, &type, nullptr, &stored) !=
      ERROR_SUCCESS)
    return 0;
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD ||
      stored > static_cast<DWORD>(size < 0 ? 0 : size))
    throw Exception(FormatText(FromShiftJis("'%s' のデータ型が不正です"), FromShiftJis(name)));
  DWORD fetched = stored;
  if (RegQueryValueExW(ValueKey(), wideName.c_str(), nullptr, nullptr, static_cast<BYTE*>(buffer),
                       &fetched) != ERROR_SUCCESS)
    throw Exception(FormatText(FromShiftJis("'%s' の取得に失敗しました"), FromShiftJis(name)));
  return static_cast<int>(fetched);
}
