#include "sim/output_file.h"

#include <fcntl.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "sim/native_file.h"
#include "sim/quoted_text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sim {
namespace {

// Temporaries to remove when the program is stopped by a signal (Ctrl-C,
// kill, a closed terminal, a reader gone from a pipe): the handler may only
// call async-signal-safe functions, so plain char arrays.
constexpr int kMostTemporaries = 4;
char interruptedTemporaries[kMostTemporaries][4096];

#ifdef _WIN32
const int kStoppingSignals[] = {SIGINT, SIGTERM, SIGBREAK};
#else
const int kStoppingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
#endif

extern "C" void removeTemporariesAndStop(int signalNumber) {
  for (char* path : interruptedTemporaries)
#ifdef _WIN32
    if (path[0] != '\0') removeFile(path);  // Windows runs this on a thread of its own
#else
    if (path[0] != '\0') ::unlink(path);
#endif
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

// A signal ignored by whoever started the program (nohup) stays ignored.
void catchUnlessIgnored(int signalNumber) {
#ifndef _WIN32
  struct sigaction current;
  if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) return;
#endif
  std::signal(signalNumber, removeTemporariesAndStop);
}

#ifdef _WIN32
// A closed console window, a log-off or a shutdown ends the program without
// a signal: the temporaries go first. Ctrl-C and Ctrl-Break pass on to the
// signals above.
BOOL WINAPI removeTemporariesOnClose(DWORD event) {
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    for (char* path : interruptedTemporaries)
      if (path[0] != '\0') removeFile(path);
  return FALSE;
}
#endif

void watchTemporary(const std::string& path, bool watch) {
  for (char* slot : interruptedTemporaries) {
    if (watch ? slot[0] == '\0' : path == slot) {
      if (watch && path.size() >= sizeof interruptedTemporaries[0]) return;
      std::strcpy(slot, watch ? path.c_str() : "");
      break;
    }
  }
  for (int signalNumber : kStoppingSignals) catchUnlessIgnored(signalNumber);
#ifdef _WIN32
  static const bool closeWatched = SetConsoleCtrlHandler(removeTemporariesOnClose, TRUE) != 0;
  (void)closeWatched;
#endif
}

bool keepMode(int fd, const PathStatus* replaced) {
#ifdef _WIN32
  (void)fd, (void)replaced;
  return true;
#else
  return replaced == nullptr || ::fchmod(fd, replaced->mode) == 0;
#endif
}

// The user's own rule for the file: may it be written at all? Asked of the
// system by opening it for writing, without truncating it.
bool mayWrite(const std::string& path) {
#ifdef _WIN32
  // The read-only attribute stops a replacement on Windows whoever asks.
  DWORD attributes = GetFileAttributesW(nativePath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    errno = EACCES;
    return false;
  }
#endif
  int fd = openDescriptor(path, O_WRONLY, 0);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string folderOf(const std::string& path) {
  std::string folder = utf8Path(nativePath(path).parent_path());
  return folder.empty() ? "." : folder;
}

std::string reason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

// A new file beside path, created exclusively so nothing else is clobbered.
// It takes the permission bits of the file it replaces, so a private file
// stays private.
std::FILE* createTemporary(const std::string& path, const PathStatus* replaced,
                           std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    // Watched before it exists, so an interruption cannot come between.
    watchTemporary(temporary, true);
    int fd = openDescriptor(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0 && keepMode(fd, replaced)) return fdopen(fd, "wb");
    int failure = errno;
    if (fd >= 0) {
      ::close(fd);
      removeFile(temporary);
    }
    watchTemporary(temporary, false);
    errno = failure;
    if (fd >= 0 || failure != EEXIST) break;
  }
  temporary.clear();
  return nullptr;
}

}  // namespace

OutputFile::~OutputFile() {
  discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
  path_ = path;
  if (path == "-") {
    file_ = stdout;
    return true;
  }
  // Followed as shell redirection would: a link is kept and the file it
  // names is written, made if it does not exist yet.
  if (!followLinks(path, target_)) {
    error = "cannot write " + quotedText(path) + ": " + reason(errno);
    return false;
  }
  PathStatus status = pathStatus(target_);
  bool exists = status.error == 0;
  if (!exists && status.error != ENOENT) {
    error = "cannot write " + quotedText(path) + ": " + reason(status.error);
    return false;
  } else if (exists && status.directory) {
    error = "cannot write " + quotedText(path) + ": it is a directory";
    return false;
  } else if (exists && !status.regular) {
    file_ = openFile(target_, "wb");
  } else if (exists && !mayWrite(target_)) {
    error = "cannot write " + quotedText(path) + ": " + reason(errno) + "; it is left as it was";
    return false;
  } else {
    file_ = createTemporary(target_, exists ? &status : nullptr, temporary_);
    // The folder is there but takes no file (an existing one could be
    // written, but not replaced whole): say which folder.
    if (file_ == nullptr && errno != ENOENT) {
      error = "cannot write " + quotedText(path) +
              ": no temporary file can be made in its folder " + quotedText(folderOf(target_)) +
              " (" + reason(errno) + ")" + (exists ? "; it is left as it was" : "");
      return false;
    }
  }
  if (file_ == nullptr) {
    error = "cannot write " + quotedText(path) + ": " + reason(errno);
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
  return true;
}

void OutputFile::write(std::string_view text) {
  if (file_ == nullptr || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() && firstErrno_ == 0)
    firstErrno_ = errno != 0 ? errno : EIO;
}

bool OutputFile::finish(std::string& error) {
  if (file_ == nullptr) return true;
  bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  if (!flushed && firstErrno_ == 0) firstErrno_ = errno;
  if (file_ != stdout && std::fclose(file_) != 0 && firstErrno_ == 0) firstErrno_ = errno;
  file_ = nullptr;
  if (firstErrno_ == 0 && !temporary_.empty() && !replaceFile(temporary_, target_))
    firstErrno_ = errno;
  if (firstErrno_ == 0) {
    watchTemporary(temporary_, false);
    temporary_.clear();
    return true;
  }
  std::string shown = isStandardOutput() ? "standard output" : quotedText(path_);
  error = "cannot write " + shown + ": " + reason(firstErrno_);
  discard();
  return false;
}

void OutputFile::discard() {
  if (file_ != nullptr && file_ != stdout) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) {
    removeFile(temporary_);
    watchTemporary(temporary_, false);
  }
  temporary_.clear();
}

}  // namespace sim
