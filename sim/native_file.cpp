#include "sim/native_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sim {

std::filesystem::path nativePath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}

std::string utf8Path(const std::filesystem::path& path) {
  return path.u8string();
}

#ifdef _WIN32

PathStatus pathStatus(const std::string& path) {
  struct _stat64 status;
  PathStatus result;
  if (_wstat64(nativePath(path).c_str(), &status) != 0) {
    result.error = errno;
  } else {
    result.directory = (status.st_mode & _S_IFMT) == _S_IFDIR;
    result.regular = (status.st_mode & _S_IFMT) == _S_IFREG;
    result.mode = status.st_mode & 0777;
  }
  return result;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(nativePath(path).c_str(), wideMode.c_str());
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

#else

PathStatus pathStatus(const std::string& path) {
  struct stat status;
  PathStatus result;
  if (stat(path.c_str(), &status) != 0) {
    result.error = errno;
  } else {
    result.directory = S_ISDIR(status.st_mode);
    result.regular = S_ISREG(status.st_mode);
    result.mode = status.st_mode & 07777;
  }
  return result;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
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

bool followLinks(const std::string& path, std::string& reached) {
  constexpr int kMostLinks = 40;  // as the kernel allows
  reached = path;
  for (int hop = 0; hop <= kMostLinks; ++hop) {
    struct stat status;
    if (lstat(reached.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    std::string target(static_cast<size_t>(status.st_size) + 1, '\0');
    ssize_t length = readlink(reached.c_str(), target.data(), target.size());
    if (length < 0) return false;
    target.resize(static_cast<size_t>(length));
    // A relative link is read from the folder that holds it.
    std::filesystem::path next = target;
    if (next.is_relative()) next = std::filesystem::path(reached).parent_path() / next;
    reached = next.string();
  }
  errno = ELOOP;
  return false;
}

#endif

}  // namespace sim
