#include "sim/system/output_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "sim/system/native_file.h"
#include "sim/system/quoted_text.h"
#include "sim/system/stop_signal.h"
#include "sim/system/temporary_name.h"
#include "sim/system/terminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sim {
namespace {

bool keepMode(int fd, const unsigned* mode) {
#ifdef _WIN32
  (void)fd, (void)mode;
  return true;
#else
  return mode == nullptr || ::fchmod(fd, *mode) == 0;
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

// Copies the file from into the file to, in place: every name of it sees
// the new content.
bool copyInto(const std::string& from, const std::string& to) {
  std::FILE* source = openFile(from, "rb");
  if (source == nullptr) return false;
  std::FILE* destination = openFile(to, "wb");
  int failure = destination != nullptr ? 0 : errno;
  char buffer[1 << 15];
  size_t got = 0;
  while (failure == 0 && (got = std::fread(buffer, 1, sizeof buffer, source)) > 0)
    if (std::fwrite(buffer, 1, got, destination) != got) failure = errno != 0 ? errno : EIO;
  if (failure == 0 && std::ferror(source)) failure = errno != 0 ? errno : EIO;
  if (destination != nullptr && std::fclose(destination) != 0 && failure == 0)
    failure = errno != 0 ? errno : EIO;
  std::fclose(source);
  errno = failure;
  return failure == 0;
}

}  // namespace

OutputFile::~OutputFile() {
  discard();
}

bool OutputFile::open(const std::string& path, std::string& error) {
  path_ = target_ = path;
  if (path == "-") return openStream(1, error);
  // A name for one of the program's own streams, or for the file one writes.
  int descriptor = streamDescriptor(path);
  if (descriptor < 0) descriptor = standardStreamWriting(path);
  if (descriptor >= 0) return openStream(descriptor, error);
  std::string device = windowsDevice(path);
  if (!device.empty()) return openDevice(device, error);
  // Followed as shell redirection would: a link is kept and the file it
  // names is written, made if it does not exist yet.
  if (!followLinks(path, target_)) {
    error = failure(reason(errno));
    return false;
  }
  PathStatus status = pathStatus(target_);
  bool exists = status.error == 0;
  if (!exists && status.error != ENOENT) {
    error = failure(reason(status.error));
    return false;
  } else if (exists && status.directory) {
    error = failure("it is a directory");
    return false;
  } else if (exists && status.fifo) {
    return openFifo(error);
  } else if (exists && !status.regular) {
    return openDevice(target_, error);
  } else if (exists && !mayWrite(target_)) {
    error = failure(reason(errno) + "; it is left as it was");
    return false;
  }
  copyInPlace_ = exists && status.links > 1;
  return openTemporary(exists, status.mode, error);
}

// One of the program's own streams, written through the descriptor it holds.
bool OutputFile::openStream(int descriptor, std::string& error) {
#ifndef _WIN32
  int flags = ::fcntl(descriptor, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
    error = failure("the program's descriptor " + std::to_string(descriptor) +
                    (flags < 0 ? " is not open" : " is open only for reading"));
    return false;
  }
#endif
  ownsFile_ = descriptor > 2;
  standardOutput_ = descriptor == 1;
  if (descriptor == 1) file_ = stdout;
  if (descriptor == 2) file_ = stderr;
#ifndef _WIN32
  int copy = descriptor > 2 ? ::dup(descriptor) : -1;
  if (copy >= 0) file_ = ::fdopen(copy, "wb");
#endif
  return streamOpened(error);
}

// A device, written as it is: never truncated, never replaced.
bool OutputFile::openDevice(const std::string& device, std::string& error) {
  file_ = openExisting(device);
  if (file_ == nullptr) {
    // Windows names the console CONOUT$; a program started without one has none.
    error = failure(device == "CONOUT$" ? "the program has no console" : reason(errno));
    return false;
  }
  noteStream();
  return true;
}

// Opening a FIFO waits for a reader: on a terminal, the user is told why
// nothing happens.
bool OutputFile::openFifo(std::string& error) {
#ifndef _WIN32
  int fd = openDescriptor(target_, O_WRONLY | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd >= 0) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  } else if (errno == ENXIO) {
    if (sim::isTerminal(stderr))
      writeText(stderr, "twinvolts-sim: waiting for a program to read the FIFO " +
                            quotedText(path_) + " (Ctrl-C ends the wait)\n");
    fd = openDescriptor(target_, O_WRONLY | O_CLOEXEC, 0);
  }
  file_ = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
#endif
  return streamOpened(error);
}

// A new file beside the target, created exclusively so nothing else is
// clobbered. It takes the permission bits of the file it replaces, so a
// private file stays private.
bool OutputFile::openTemporary(bool exists, unsigned mode, std::string& error) {
  removeAbandonedTemporaries(folderOf(target_));
  int failed = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = temporaryName(target_, attempt);
    handle_ = nullptr;
    // Made and watched as one: a stop between would leave it behind, and a
    // name watched before it is made may be another's file.
    deferStops();
    int fd = createExclusive(temporary_, handle_);
    const int created = errno;
    if (fd >= 0) watchTemporary(temporary_, handle_, true);
    resumeStops();
    errno = created;
    if (fd >= 0 && keepMode(fd, exists ? &mode : nullptr)) {
      file_ = ::fdopen(fd, "wb");
      if (file_ != nullptr) break;
    }
    failed = errno;
    // Only what this run made is removed: a name taken is someone else's.
    if (fd >= 0) {
      watchTemporary(temporary_, nullptr, false);
      ::close(fd);
      removeFile(temporary_);
    }
    if (fd >= 0 || failed != EEXIST) break;
  }
  if (file_ != nullptr) {
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    return true;
  }
  temporary_.clear();
  // The folder is there but takes no file (an existing one could be
  // written, but not replaced whole): say which folder.
  if (failed != ENOENT)
    error = failure("no temporary file can be made in its folder " + quotedText(folderOf(target_)) +
                    " (" + reason(failed) + ")" + (exists ? "; it is left as it was" : ""));
  else
    error = failure(reason(failed));
  return false;
}

// The end of every stream's opening: errno tells why file_ is not open.
bool OutputFile::streamOpened(std::string& error) {
  if (file_ == nullptr) {
    error = failure(reason(errno));
    return false;
  }
  noteStream();
  return true;
}

void OutputFile::noteStream() {
  terminal_ = sim::isTerminal(file_);
  if (ownsFile_ && !terminal_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

std::string OutputFile::failure(const std::string& reasonText) const {
  return "cannot write " + (path_ == "-" ? std::string("standard output") : quotedText(path_)) +
         ": " + reasonText;
}

void OutputFile::write(std::string_view text) {
  if (file_ == nullptr || text.empty() || firstErrno_ != 0) return;
  // A terminal shows each piece at once, and a Windows console in its own
  // characters.
  errno = 0;
  bool written = terminal_ ? writeText(file_, text)
                           : std::fwrite(text.data(), 1, text.size(), file_) == text.size();
  if (written) return;
  firstErrno_ = errno != 0 ? errno : EIO;
  if (pipeReaderGone(file_, firstErrno_)) endAsPipeGone();
}

bool OutputFile::putInPlace() {
  if (!copyInPlace_) return replaceFile(temporary_, target_);
  return copyInto(temporary_, target_) && removeFile(temporary_);
}

bool OutputFile::finish(std::string& error) {
  if (file_ == nullptr) return true;
  errno = 0;
  if ((std::fflush(file_) != 0 || std::ferror(file_)) && firstErrno_ == 0) {
    firstErrno_ = errno != 0 ? errno : EIO;
    if (pipeReaderGone(file_, firstErrno_)) endAsPipeGone();
  }
  forgetHandle();
  if (ownsFile_ && std::fclose(file_) != 0 && firstErrno_ == 0) firstErrno_ = errno;
  file_ = nullptr;
  if (firstErrno_ == 0 && !temporary_.empty() && !putInPlace()) firstErrno_ = errno;
  if (firstErrno_ == 0) {
    watchTemporary(temporary_, nullptr, false);
    temporary_.clear();
    return true;
  }
  error = failure(reason(firstErrno_));
  discard();
  return false;
}

// Before the handle closes: a handler must not use it once it may be reused.
void OutputFile::forgetHandle() {
  if (!temporary_.empty()) watchTemporary(temporary_, nullptr, true);
  handle_ = nullptr;
}

void OutputFile::discard() {
  forgetHandle();
  if (file_ != nullptr && ownsFile_) std::fclose(file_);
  if (file_ != nullptr && !ownsFile_) std::fflush(file_);  // what a stream got, it keeps
  file_ = nullptr;
  if (!temporary_.empty()) {
    removeFile(temporary_);
    watchTemporary(temporary_, nullptr, false);
  }
  temporary_.clear();
}

}  // namespace sim
