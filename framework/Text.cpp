#include "framework/Text.h"

#include "framework/Exception.h"

std::wstring FromCodePage(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), length);
  return result;
}

std::string ToCodePage(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, result.data(), length, nullptr, nullptr);
  return result;
}

std::wstring FormatText(std::wstring_view pattern, std::wstring_view argument) {
  std::wstring result(pattern);
  if (const auto at = result.find(L"%s"); at != std::wstring::npos) result.replace(at, 2, argument);
  return result;
}

void ReportToDebugger(const std::wstring& message) noexcept {
  OutputDebugStringW((message + L"\n").c_str());
}

std::wstring ExceptionMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& exception) {
    return exception.Message();
  } catch (const std::exception& exception) {
    return FromAnsi(exception.what());
  } catch (...) {
    return L"Unknown error";
  }
}
