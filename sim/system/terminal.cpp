#include "sim/system/terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <string>
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

#ifdef _WIN32

namespace {

// The console behind the stream, or null when it goes to a file or a pipe.
HANDLE consoleOf(std::FILE* stream) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fileno(stream)));
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

size_t terminalWidth(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  HANDLE console = consoleOf(stream);
  if (console == nullptr || !GetConsoleScreenBufferInfo(console, &info)) return 0;
  // The console goes to the next line as soon as its last column is
  // written: a line that fills it would leave an empty line below.
  return static_cast<size_t>(info.srWindow.Right - info.srWindow.Left);
}

bool writeText(std::FILE* stream, std::string_view text) {
  HANDLE console = consoleOf(stream);
  if (console == nullptr || text.empty()) {
    bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && !std::ferror(stream) && written;
  }
  // The console takes UTF-16 whatever its code page: no name turns into "?".
  std::fflush(stream);
  int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  DWORD written = 0;
  return length > 0 &&
         WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
         written == wide.size();
}

#else

size_t terminalWidth(std::FILE* stream) {
  constexpr size_t kUnknownWidth = 100;
  if (!isTerminal(stream)) return 0;
  struct winsize size;
  // Lines wrap at spaces whatever the width: only a width not told is guessed.
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kUnknownWidth;
  return size.ws_col;
}

bool writeText(std::FILE* stream, std::string_view text) {
  bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  return std::fflush(stream) == 0 && !std::ferror(stream) && written;
}

#endif

}  // namespace sim
