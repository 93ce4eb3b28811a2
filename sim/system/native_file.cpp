#include "sim/system/native_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#endif

namespace sim {

std::filesystem::path nativePath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}

std::string utf8Path(const std::filesystem::path& path) {
  return path.u8string();
}

#ifdef _WIN32

namespace {

// The C library's stat says 1 link whatever the file has.
unsigned linkCount(const std::string& path) {
  HANDLE handle = CreateFileW(nativePath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 1;
  BY_HANDLE_FILE_INFORMATION info;
  unsigned links = GetFileInformationByHandle(handle, &info) ? info.nNumberOfLinks : 1;
  CloseHandle(handle);
  return links;
}

// A name Windows gives a device in every folder, whatever its case.
bool isReservedDeviceName(std::wstring name) {
  while (!name.empty() && (name.back() == L' ' || name.back() == L':')) name.pop_back();
  if (name.empty()) return false;
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  for (const wchar_t* device : {L"CON", L"CONOUT$", L"NUL", L"PRN", L"AUX"})
    if (name == device) return true;
  return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
         name[3] >= L'1' && name[3] <= L'9';
}

}  // namespace

PathStatus pathStatus(const std::string& path) {
  struct _stat64 status;
  PathStatus result;
  if (_wstat64(nativePath(path).c_str(), &status) != 0) {
    result.error = errno;
  } else {
    result.directory = (status.st_mode & _S_IFMT) == _S_IFDIR;
    result.regular = (status.st_mode & _S_IFMT) == _S_IFREG;
    result.mode = status.st_mode & 0777;
    if (result.regular) result.links = linkCount(path);
  }
  return result;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(nativePath(path).c_str(), wideMode.c_str());
}

std::FILE* anonymousTemporary() {
  wchar_t folder[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) {
    errno = ENOENT;
    return nullptr;
  }
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = std::wstring(folder, length) + L"twinvolts-sim-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) +
                        L".tmp";
    // Delete on close: the system removes it when the process ends, however.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
    if (handle == INVALID_HANDLE_VALUE) break;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) CloseHandle(handle);
    return fd >= 0 ? _fdopen(fd, "w+b") : nullptr;
  }
  errno = EACCES;
  return nullptr;
}

std::FILE* openExisting(const std::string& path) {
  // Read access too, so a console's mode and width can be asked.
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (DWORD access : {GENERIC_READ | GENERIC_WRITE, DWORD{GENERIC_WRITE}}) {
    handle = CreateFileW(nativePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) break;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
    return nullptr;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) CloseHandle(handle);
  return fd >= 0 ? _fdopen(fd, "wb") : nullptr;
}

int openDescriptor(const std::string& path, int flags, int mode) {
  return _wopen(nativePath(path).c_str(), flags | _O_BINARY, mode);
}

bool removeFile(const std::string& path) {
  return _wremove(nativePath(path).c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  errno = EACCES;
  return false;
}

bool followLinks(const std::string& path, std::string& reached) {
  reached = path;
  return true;
}

int createExclusive(const std::string& path, void*& handle) {
  // No FILE_SHARE_DELETE: while the run lives, no other run removes it.
  HANDLE created = CreateFileW(nativePath(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    errno = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? EEXIST
            : error == ERROR_PATH_NOT_FOUND                             ? ENOENT
                                                                        : EACCES;
    return -1;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(created), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(created);
    return -1;
  }
  handle = created;
  return fd;
}

void removeIfAbandoned(const std::string& path, long) {
  DeleteFileW(nativePath(path).c_str());
}

int streamDescriptor(const std::string&) {
  return -1;
}

int standardStreamWriting(const std::string&) {
  return -1;
}

std::string windowsDevice(const std::string& path) {
  std::filesystem::path native = nativePath(path);
  std::wstring whole = native.wstring();
  if (whole.rfind(L"\\\\.\\", 0) == 0) return path;
  std::wstring name = native.filename().wstring();
  if (!isReservedDeviceName(name)) return "";
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name.rfind(L"CON", 0) == 0 ? "CONOUT$" : "\\\\.\\" + utf8Path(name);
}

#else

PathStatus pathStatus(const std::string& path) {
  struct stat status;
  PathStatus result;
  if (stat(path.c_str(), &status) != 0) {
    result.error = errno;
  } else {
    result.directory = S_ISDIR(status.st_mode);
    result.regular = S_ISREG(status.st_mode);
    result.fifo = S_ISFIFO(status.st_mode);
    result.mode = status.st_mode & 07777;
    result.links = static_cast<unsigned>(status.st_nlink);
  }
  return result;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* anonymousTemporary() {
  return std::tmpfile();  // unlinked at once (or never named, O_TMPFILE)
}

std::FILE* openExisting(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (fd >= 0 && file == nullptr) ::close(fd);
  return file;
}

int openDescriptor(const std::string& path, int flags, int mode) {
  return ::open(path.c_str(), flags, mode);
}

bool removeFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

constexpr int kMostLinks = 40;  // as the kernel allows

// The name a link at path gives, read from the folder that holds it. False
// when path is no link (or cannot be read: errno says).
bool nextHop(const std::string& path, std::string& next, bool& failed) {
  struct stat status;
  failed = false;
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return false;
  std::string target(static_cast<size_t>(status.st_size) + 1, '\0');
  ssize_t length = readlink(path.c_str(), target.data(), target.size());
  failed = length < 0;
  if (failed) return false;
  target.resize(static_cast<size_t>(length));
  std::filesystem::path reached = target;
  if (reached.is_relative()) reached = std::filesystem::path(path).parent_path() / reached;
  next = reached.string();
  return true;
}

// N for a name the system gives the process's own descriptor N.
int descriptorNamed(const std::string& path) {
  std::error_code failed;
  const std::string name = std::filesystem::absolute(path, failed).lexically_normal().string();
  const char* const standard[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
  for (int fd = 0; fd < 3; ++fd)
    if (name == standard[fd]) return fd;
  const std::string prefixes[] = {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/",
                                  "/proc/" + std::to_string(getpid()) + "/fd/"};
  for (const std::string& prefix : prefixes) {
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string number = name.substr(prefix.size());
    if (number.empty() || number.size() > 9 ||
        number.find_first_not_of("0123456789") != std::string::npos)
      return -1;
    return static_cast<int>(std::strtol(number.c_str(), nullptr, 10));
  }
  return -1;
}

}  // namespace

bool followLinks(const std::string& path, std::string& reached) {
  reached = path;
  for (int hop = 0; hop <= kMostLinks; ++hop) {
    bool failed = false;
    if (!nextHop(reached, reached, failed)) return !failed;
  }
  errno = ELOOP;
  return false;
}

int createExclusive(const std::string& path, void*& handle) {
  handle = nullptr;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  // Where the file system has no locks, other runs never take it for abandoned.
  if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

void removeIfAbandoned(const std::string& path, long pid) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat status;
  // The lock is free from the moment a run is killed; the process check
  // covers the instant between a file's making and its locking.
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
      errno == ESRCH)
    ::unlink(path.c_str());
  ::close(fd);
}

int streamDescriptor(const std::string& path) {
  std::string reached = path;
  for (int hop = 0; hop <= kMostLinks; ++hop) {
    int fd = descriptorNamed(reached);
    bool failed = false;
    if (fd >= 0 || !nextHop(reached, reached, failed)) return fd;
  }
  return -1;
}

int standardStreamWriting(const std::string& path) {
  struct stat file, stream;
  if (stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return -1;
  for (int fd : {STDOUT_FILENO, STDERR_FILENO})
    if (fstat(fd, &stream) == 0 && stream.st_dev == file.st_dev && stream.st_ino == file.st_ino)
      return fd;
  return -1;
}

std::string windowsDevice(const std::string&) {
  return "";
}

#endif

}  // namespace sim
