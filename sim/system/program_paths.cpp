#include "sim/system/program_paths.h"

#include "sim/system/native_file.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sim {

std::filesystem::path programFolder(const std::string& argv0) {
#ifdef _WIN32
  std::wstring self(32768, L'\0');  // the longest path Windows has
  DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  if (length > 0 && length < self.size())
    return std::filesystem::path(self.substr(0, length)).parent_path();
  return nativePath(argv0).parent_path();
#else
  std::error_code failed;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (failed) self = argv0;
  return self.parent_path();
#endif
}

std::string defaultModulePath(const std::string& argv0, const std::string& builtRelative) {
  const std::filesystem::path folder = programFolder(argv0);
  const std::filesystem::path built = folder / nativePath(builtRelative);
  const std::filesystem::path kit = folder / ".." / "module" / built.filename();
  std::error_code failed;
  const bool inKit =
      !std::filesystem::exists(built, failed) && std::filesystem::exists(kit, failed);
  return utf8Path((inKit ? kit : built).lexically_normal());
}

std::string shownPath(const std::string& path) {
  std::error_code failed;
  std::filesystem::path relative = std::filesystem::relative(nativePath(path), failed);
  if (failed || relative.empty() || *relative.begin() == "..")
    return utf8Path(nativePath(path).make_preferred());
  return utf8Path(relative.make_preferred());
}

}  // namespace sim
