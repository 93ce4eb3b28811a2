#include "sim/terminal.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace sim {

bool isTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

size_t terminalWidth() {
  constexpr size_t kDefault = 100;
#ifndef _WIN32
  struct winsize size;
  if (isTerminal(stdout) && ioctl(fileno(stdout), TIOCGWINSZ, &size) == 0 && size.ws_col >= 40)
    return size.ws_col;
#endif
  return kDefault;
}

}  // namespace sim
