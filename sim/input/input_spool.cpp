#include "sim/input/input_spool.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "sim/input/csv_input.h"
#include "sim/system/native_file.h"
#include "sim/system/quoted_text.h"

namespace sim {
namespace {

// A stream that never ends must not fill the disk.
constexpr uint64_t kMostBytes = uint64_t{16} << 30;

std::string shown(const std::string& path) {
  return path == "-" ? "standard input" : quotedText(path);
}

// The bytes since the last line end, counting on from those before.
size_t openLineLength(const char* bytes, size_t count, size_t before) {
  for (size_t i = count; i > 0; --i)
    if (bytes[i - 1] == '\n') return count - i;
  return before + count;
}

}  // namespace

std::FILE* spooledCopy(const std::string& path, std::string& error) {
  std::FILE* from = path == "-" ? stdin : openFile(path, "rb");
  if (from == nullptr) {
    error = "cannot open input " + shown(path) + ": " + std::strerror(errno);
    return nullptr;
  }
  std::FILE* copy = anonymousTemporary();
  if (copy == nullptr) error = "cannot make a temporary copy of " + shown(path) + ": ";
  char buffer[1 << 15];
  uint64_t total = 0;
  size_t openLine = 0;
  // A line too long for the reader ends the copy there: the reader refuses
  // the input at that line anyway, and a stream without line ends
  // (/dev/zero) never fills the disk.
  for (size_t got; error.empty() && openLine <= kLongestInputLine + 1 &&
                   (got = std::fread(buffer, 1, sizeof buffer, from)) > 0;) {
    total += got;
    openLine = openLineLength(buffer, got, openLine);
    if (total > kMostBytes)
      error = "input " + shown(path) + " gives more than 16 GiB; save it to a file first";
    else if (std::fwrite(buffer, 1, got, copy) != got)
      error = "cannot make a temporary copy of " + shown(path) + ": ";
  }
  if (error.empty() && std::ferror(from)) error = "cannot read input " + shown(path) + ": ";
  if (error.empty() && (std::fflush(copy) != 0 || std::fseek(copy, 0, SEEK_SET) != 0))
    error = "cannot make a temporary copy of " + shown(path) + ": ";
  if (!error.empty() && error.back() == ' ') error += std::strerror(errno != 0 ? errno : EIO);
  if (from != stdin) std::fclose(from);
  if (error.empty()) return copy;
  if (copy != nullptr) std::fclose(copy);
  return nullptr;
}

}  // namespace sim
