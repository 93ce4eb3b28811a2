#include "sim/system/temporary_name.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "sim/system/native_file.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace sim {
namespace {

constexpr std::string_view kMark = ".twinvolts-sim-";
constexpr std::string_view kEnd = ".part";

bool allDigits(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The maker's process number when the name is one of ours, else -1.
long makerOf(std::string_view name) {
  if (name.size() <= kEnd.size() || name.substr(name.size() - kEnd.size()) != kEnd) return -1;
  name.remove_suffix(kEnd.size());
  size_t mark = name.rfind(kMark);
  if (mark == std::string_view::npos || mark == 0) return -1;
  std::string_view numbers = name.substr(mark + kMark.size());
  size_t dash = numbers.find('-');
  if (dash == std::string_view::npos || !allDigits(numbers.substr(0, dash)) ||
      !allDigits(numbers.substr(dash + 1)))
    return -1;
  return std::strtol(std::string(numbers.substr(0, dash)).c_str(), nullptr, 10);
}

}  // namespace

std::string temporaryName(const std::string& target, int attempt) {
  return target + std::string(kMark) + std::to_string(getpid()) + "-" + std::to_string(attempt) +
         std::string(kEnd);
}

void removeAbandonedTemporaries(const std::string& folder) {
  std::error_code failed;
  std::filesystem::directory_iterator entries(nativePath(folder), failed), end;
  for (; !failed && entries != end; entries.increment(failed)) {
    std::string name = utf8Path(entries->path().filename());
    long maker = makerOf(name);
    if (maker >= 0 && maker != static_cast<long>(getpid()))
      removeIfAbandoned(utf8Path(entries->path()), maker);
  }
}

}  // namespace sim
