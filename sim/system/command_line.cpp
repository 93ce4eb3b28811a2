#include "sim/system/command_line.h"

#ifdef _WIN32
#include <windows.h>

namespace sim {

bool utf8Arguments(int argc, wchar_t** argv, std::vector<std::string>& arguments,
                   std::string& error) {
  arguments.clear();
  for (int i = 0; i < argc; ++i) {
    // A lone surrogate has no UTF-8 form: refused rather than changed.
    int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, argv[i], -1, nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0) {
      error = "argument " + std::to_string(i) + " is not Unicode text";
      return false;
    }
    std::string argument(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, argv[i], -1, argument.data(), length,
                        nullptr, nullptr);
    argument.pop_back();  // the terminating NUL
    arguments.push_back(argument);
  }
  return true;
}

}  // namespace sim
#endif
