#include "sim/system/stop_signal.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sim {

namespace detail {
std::atomic<int> requestedStop{0};
}

namespace {

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

std::atomic<bool> runInProgress{false};

// What the handlers may touch: plain arrays, nothing that allocates.
struct WatchedTemporary {
  char path[4096];
  void* handle;
};
constexpr int kMostTemporaries = 4;
WatchedTemporary watched[kMostTemporaries];

// Claims the stop for this signal when a run can still end as a host ends it.
bool takeAsStop(int signalNumber) {
  int none = 0;
  return runInProgress.load() && detail::requestedStop.compare_exchange_strong(none, signalNumber);
}

void writeStandardError(const char* text) {
#ifdef _WIN32
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
#else
  ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
#endif
}

void sayEndedAtOnce(int signalNumber) {
  writeStandardError("twinvolts-sim: ended at once by ");
  writeStandardError(stopName(signalNumber));
  writeStandardError(detail::requestedStop.load() != 0 ? " (a second stop)" : "");
  writeStandardError("; temporary files removed\n");
}

#ifdef _WIN32

// Console events are kept apart from signal numbers.
constexpr int kConsoleEventBase = 1000;

// The thread that ends the program at once reads the watched temporaries
// while the main thread may be making one or changing the list: each holds
// this while it does. It is reentrant, as a thread that defers stops also
// watches.
CRITICAL_SECTION& watchedLock() {
  static CRITICAL_SECTION section;
  static const bool ready = (InitializeCriticalSection(&section), true);
  (void)ready;
  return section;
}

struct WatchedHeld {
  WatchedHeld() { EnterCriticalSection(&watchedLock()); }
  ~WatchedHeld() { LeaveCriticalSection(&watchedLock()); }
  WatchedHeld(const WatchedHeld&) = delete;
  WatchedHeld& operator=(const WatchedHeld&) = delete;
};

void removeWatchedTemporaries() {
  WatchedHeld held;
  for (WatchedTemporary& temporary : watched) {
    if (temporary.path[0] == '\0') continue;
    // Delete on close through the run's own handle, the one way to remove a
    // file another thread has open; the process's end closes it.
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (temporary.handle == nullptr ||
        !SetFileInformationByHandle(temporary.handle, FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
      wchar_t wide[4096];
      if (MultiByteToWideChar(CP_UTF8, 0, temporary.path, -1, wide, 4096) > 0) DeleteFileW(wide);
    }
  }
}

// Ends the program at once, on a thread of its own. A console handler must
// not end the process itself: under wine the handlers run one at a time, so
// one stuck in TerminateProcess leaves every later Ctrl-C unanswered. The
// thread is made only when needed: one alive as the program leaves can
// crash wine's own exit.
std::atomic<bool> endingAtOnce{false};

DWORD WINAPI endAtOnce(void* event) {
  const int code = static_cast<int>(reinterpret_cast<intptr_t>(event));
  removeWatchedTemporaries();
  sayEndedAtOnce(code);
  TerminateProcess(GetCurrentProcess(), kWindowsStopStatus);
  return 0;
}

// Runs on a thread the system makes for the event; it only tells.
BOOL WINAPI onConsoleEvent(DWORD event) {
  const int code = kConsoleEventBase + static_cast<int>(event);
  if (!takeAsStop(code) && !endingAtOnce.exchange(true)) {
    void* argument = reinterpret_cast<void*>(static_cast<intptr_t>(code));
    HANDLE ender = CreateThread(nullptr, 64 * 1024, endAtOnce, argument,
                                STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (ender == nullptr) endAtOnce(argument);
    CloseHandle(ender);
  }
  // The system ends the process as soon as a handler of a closing console
  // (or log-off, or shutdown) returns: wait for the thread that ends it.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(INFINITE);
  return TRUE;
}

#else

void removeWatchedTemporaries() {
  for (WatchedTemporary& temporary : watched)
    if (temporary.path[0] != '\0') ::unlink(temporary.path);
}

const int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

extern "C" void onSignal(int signalNumber) {
  bool asksToStop = signalNumber == SIGINT || signalNumber == SIGTERM || signalNumber == SIGHUP;
  if (asksToStop && takeAsStop(signalNumber)) return;
  removeWatchedTemporaries();
  if (signalNumber != SIGPIPE) sayEndedAtOnce(signalNumber);  // silent, as for any program
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);  // blocked in here: delivered on return
}

#endif

}  // namespace

void watchStopSignals() {
#ifdef _WIN32
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = onSignal;
  action.sa_flags = SA_RESTART;  // a step in progress goes on undisturbed
  sigemptyset(&action.sa_mask);
  for (int signalNumber : kHandledSignals) sigaddset(&action.sa_mask, signalNumber);
  for (int signalNumber : kHandledSignals) {
    struct sigaction current;
    if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signalNumber, &action, nullptr);
  }
#endif
}

void setRunInProgress(bool running) {
  runInProgress.store(running);
}

const char* stopName(int signalNumber) {
#ifdef _WIN32
  switch (signalNumber - kConsoleEventBase) {
    case CTRL_C_EVENT:
      return "Ctrl-C";
    case CTRL_BREAK_EVENT:
      return "Ctrl-Break";
    case CTRL_CLOSE_EVENT:
      return "a closed console";
    case CTRL_LOGOFF_EVENT:
      return "a log-off";
    case CTRL_SHUTDOWN_EVENT:
      return "a shutdown";
  }
#else
  switch (signalNumber) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    case SIGQUIT:
      return "SIGQUIT";
    case SIGPIPE:
      return "SIGPIPE";
  }
#endif
  return "a signal";
}

void watchTemporary(const std::string& path, void* windowsHandle, bool watch) {
#ifdef _WIN32
  WatchedHeld held;
#endif
  WatchedTemporary* same = nullptr;
  WatchedTemporary* free = nullptr;
  for (WatchedTemporary& slot : watched) {
    if (slot.path[0] != '\0' && path == slot.path) same = &slot;
    if (slot.path[0] == '\0' && free == nullptr) free = &slot;
  }
  if (!watch && same != nullptr) {
    same->path[0] = '\0';  // the handler looks at the path first
    same->handle = nullptr;
  } else if (watch && same != nullptr) {
    same->handle = windowsHandle;
  } else if (watch && free != nullptr && path.size() < sizeof free->path) {
    free->handle = windowsHandle;
    std::strcpy(free->path, path.c_str());
  }
}

#ifdef _WIN32
// A Ctrl-C is answered on another thread, which waits for the list.
void deferStops() {
  EnterCriticalSection(&watchedLock());
}
void resumeStops() {
  LeaveCriticalSection(&watchedLock());
}
#else
namespace {
sigset_t stopsBeforeDeferring;
}

void deferStops() {
  sigset_t handled;
  sigemptyset(&handled);
  for (int signalNumber : kHandledSignals) sigaddset(&handled, signalNumber);
  sigprocmask(SIG_BLOCK, &handled, &stopsBeforeDeferring);
}

void resumeStops() {
  sigprocmask(SIG_SETMASK, &stopsBeforeDeferring, nullptr);
}
#endif

bool pipeReaderGone(std::FILE* stream, int error) {
#ifdef _WIN32
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return (error == EPIPE || error == EINVAL) && GetFileType(handle) == FILE_TYPE_PIPE;
#else
  (void)stream, (void)error;
  return false;  // SIGPIPE has ended the program already
#endif
}

void endByStopSignal(int signalNumber) {
  std::fflush(nullptr);
  removeWatchedTemporaries();
#ifdef _WIN32
  (void)signalNumber;
  std::_Exit(kWindowsStopStatus);
#else
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
  std::_Exit(128 + signalNumber);
#endif
}

void endAsPipeGone() {
  removeWatchedTemporaries();
#ifdef _WIN32
  std::_Exit(kWindowsPipeGoneStatus);
#else
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
#endif
}

}  // namespace sim
