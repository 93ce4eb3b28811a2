#include "sim/system/file_identity.h"

#include <sys/stat.h>

#include "sim/system/native_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sim {
namespace {

#ifdef _WIN32

// Opened without any access right, so a file in use still answers.
bool existingIdentity(const std::string& path, std::string& identity) {
  HANDLE handle = CreateFileW(nativePath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (known)
    identity = std::to_string(info.dwVolumeSerialNumber) + ":" +
               std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow);
  return known;
}

// Windows file names ignore case.
std::string comparableName(const std::filesystem::path& name) {
  std::wstring wide = name.wstring();
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return utf8Path(wide);
}

#else

bool existingIdentity(const std::string& path, std::string& identity) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return false;
  identity = std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  return true;
}

std::string comparableName(const std::filesystem::path& name) {
  return name.string();
}

#endif

}  // namespace

std::string fileIdentity(const std::string& path) {
  if (path == "-") return "standard output";
  std::string reached, identity;
  if (!followLinks(path, reached)) reached = path;
  PathStatus status = pathStatus(reached);
  if (status.error == 0 && !status.regular) return "";
  if (status.error == 0 && existingIdentity(reached, identity)) return "file " + identity;
  std::error_code failed;
  std::filesystem::path absolute = std::filesystem::absolute(nativePath(reached), failed);
  if (failed) absolute = nativePath(reached);
  std::filesystem::path folder = absolute.parent_path();
  if (existingIdentity(utf8Path(folder), identity))
    return "new " + identity + "/" + comparableName(absolute.filename());
  return "path " + utf8Path(absolute);
}

}  // namespace sim
