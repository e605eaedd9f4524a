// What ends the program when an exception finds no handler (a fault of ours: every callback
// catches). The C++ runtime's own handler would print the exception's demangled type to a
// console a GUI program does not have, and its demangler is a quarter of the exe's size; this
// one tells the debugger what was thrown and aborts the same way.
#include <cstdlib>
#include <exception>

#include "framework/Exception.h"

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  static bool terminating = false;
  if (!terminating) {
    terminating = true;
    try {
      if (const std::exception_ptr error = std::current_exception())
        ReportToDebugger(L"terminate called after throwing: " + ExceptionMessage(error));
      else
        ReportToDebugger(L"terminate called without an active exception");
    } catch (...) {
    }
  }
  std::abort();
}

}  // namespace __gnu_cxx
