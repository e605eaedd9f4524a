#pragma once

#include <exception>
#include <string>

// The one kind of error the program raises and shows. Its message is UTF-16: the program's
// own texts come in Shift-JIS and the system's in the ANSI code page, and a message that
// joins both ("%s に書き込めません") must read right on every system.
class Exception : public std::exception {
public:
  explicit Exception(std::wstring message) : FMessage(std::move(message)) {}
  const std::wstring& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return "Vimbrel error (see Message)"; }

private:
  std::wstring FMessage;
};

// For failures that happen where nobody can be shown a box (teardown, end of session).
void ReportToDebugger(const std::wstring& message) noexcept;

// The text the error display shows for whatever was thrown.
std::wstring ExceptionMessage(const std::exception_ptr& error);
