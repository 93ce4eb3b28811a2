#include "sim/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "sim/quoted_text.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif

namespace sim {
namespace {

// Temporaries to remove when the program is interrupted (Ctrl-C, kill): the
// handler may only call async-signal-safe functions, so plain char arrays.
constexpr int kMostTemporaries = 4;
char interruptedTemporaries[kMostTemporaries][4096];

extern "C" void removeTemporariesAndStop(int signalNumber) {
  for (char* path : interruptedTemporaries)
    if (path[0] != '\0') ::unlink(path);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

void watchTemporary(const std::string& path, bool watch) {
  for (char* slot : interruptedTemporaries) {
    if (watch ? slot[0] == '\0' : path == slot) {
      if (watch && path.size() >= sizeof interruptedTemporaries[0]) return;
      std::strcpy(slot, watch ? path.c_str() : "");
      break;
    }
  }
  std::signal(SIGINT, removeTemporariesAndStop);
  std::signal(SIGTERM, removeTemporariesAndStop);
}

bool keepMode(int fd, const struct stat* replaced) {
#ifdef _WIN32
  (void)fd, (void)replaced;
  return true;
#else
  return replaced == nullptr || ::fchmod(fd, replaced->st_mode & 07777) == 0;
#endif
}

// Where an existing file really is, so that a link to it is kept and the
// file it names is the one replaced.
std::string resolvedPath(const std::string& path) {
  std::error_code failed;
  std::filesystem::path target = std::filesystem::canonical(path, failed);
  return failed ? path : target.string();
}

std::string reason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

// A new file beside path, created exclusively so nothing else is clobbered.
// It takes the permission bits of the file it replaces, so a private file
// stays private.
std::FILE* createTemporary(const std::string& path, const struct stat* replaced,
                           std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    // Watched before it exists, so an interruption cannot come between.
    watchTemporary(temporary, true);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
    if (fd >= 0 && keepMode(fd, replaced)) return fdopen(fd, "wb");
    int failure = errno;
    if (fd >= 0) {
      ::close(fd);
      ::unlink(temporary.c_str());
    }
    watchTemporary(temporary, false);
    errno = failure;
    if (fd >= 0 || failure != EEXIST) break;
  }
  temporary.clear();
  return nullptr;
}

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = EACCES;
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

OutputFile::~OutputFile() {
  discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
  path_ = path;
  struct stat status;
  bool exists = stat(path.c_str(), &status) == 0;
  if (path == "-") {
    file_ = stdout;
  } else if (exists && S_ISDIR(status.st_mode)) {
    error = "cannot write " + quotedText(path) + ": it is a directory";
    return false;
  } else if (exists && !S_ISREG(status.st_mode)) {
    file_ = std::fopen(path.c_str(), "wb");
  } else if (exists) {
    target_ = resolvedPath(path);
    file_ = createTemporary(target_, &status, temporary_);
  } else {
    target_ = path;
    file_ = createTemporary(path, nullptr, temporary_);
  }
  if (file_ == nullptr) {
    error = "cannot write " + quotedText(path) + ": " + reason(errno);
    return false;
  }
  if (file_ != stdout) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
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
    std::remove(temporary_.c_str());
    watchTemporary(temporary_, false);
  }
  temporary_.clear();
}

std::string fileIdentity(const std::string& path) {
  if (path == "-") return "standard output";
  struct stat status;
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return "";
  std::error_code failed;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, failed);
  if (failed) canonical = std::filesystem::absolute(path, failed);
  return canonical.lexically_normal().string();
}

}  // namespace sim
