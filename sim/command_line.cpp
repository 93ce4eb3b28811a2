#include "sim/command_line.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#endif

namespace sim {

#ifdef _WIN32

bool commandLineArguments(int, char**, std::vector<std::string>& arguments, std::string& error) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    error = "cannot read the command line";
    return false;
  }
  arguments.clear();
  for (int i = 0; i < count && error.empty(); ++i) {
    // A lone surrogate has no UTF-8 form: refused rather than changed.
    int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide[i], -1, nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0) {
      error = "argument " + std::to_string(i) + " is not Unicode text";
      break;
    }
    std::string argument(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide[i], -1, argument.data(), length,
                        nullptr, nullptr);
    argument.pop_back();  // the terminating NUL
    arguments.push_back(argument);
  }
  LocalFree(wide);
  return error.empty();
}

#else

bool commandLineArguments(int argc, char** argv, std::vector<std::string>& arguments,
                          std::string&) {
  arguments.assign(argv, argv + argc);
  return true;
}

#endif

}  // namespace sim
