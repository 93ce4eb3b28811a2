#include "standin_host/module_file_extent.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "standin_host/wide_path.h"

namespace standin {
namespace {

// Reads little-endian words at any offset; past the end reads as "cut short".
class FileBytes {
 public:
  explicit FileBytes(const char* path) {
#ifdef _WIN32
    std::FILE* file = _wfopen(widePath(path).c_str(), L"rb");
#else
    std::FILE* file = std::fopen(path, "rb");
#endif
    if (file == nullptr) return;
    if (std::fseek(file, 0, SEEK_END) == 0) {
      long end = std::ftell(file);
      size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
    // The headers lie in the first pages; the rest is only measured.
    head_.resize(static_cast<size_t>(size_ < kHead ? size_ : kHead));
    std::rewind(file);
    if (std::fread(head_.data(), 1, head_.size(), file) != head_.size()) head_.clear();
    std::fclose(file);
  }
  uint64_t size() const {
    return size_;
  }
  bool has(uint64_t offset, uint64_t length) const {
    return offset <= head_.size() && length <= head_.size() - offset;
  }
  uint64_t word(uint64_t offset, int bytes) const {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | head_[offset + i];
    return value;
  }
  bool startsWith(const char* magic, size_t length) const {
    return has(0, length) && std::memcmp(head_.data(), magic, length) == 0;
  }

 private:
  static constexpr uint64_t kHead = 1 << 16;
  std::vector<unsigned char> head_;
  uint64_t size_ = 0;
};

std::string cutShort(uint64_t size, uint64_t needed) {
  char text[160];
  std::snprintf(text, sizeof text,
                "the file is cut short: %llu bytes, its loadable parts need %llu",
                static_cast<unsigned long long>(size), static_cast<unsigned long long>(needed));
  return text;
}

// Largest end of the extents [offset, offset + length) that the loader maps.
struct Extent {
  uint64_t needed = 0;
  void add(uint64_t offset, uint64_t length) {
    uint64_t end = offset + length;
    if (end < offset) end = ~uint64_t{0};
    if (end > needed) needed = end;
  }
};

Extent elfExtent(const FileBytes& file) {
  Extent extent;
  bool wide = file.word(4, 1) == 2;
  uint64_t tableAt = wide ? file.word(0x20, 8) : file.word(0x1C, 4);
  uint64_t entrySize = file.word(wide ? 0x36 : 0x2A, 2);
  uint64_t entries = file.word(wide ? 0x38 : 0x2C, 2);
  extent.add(tableAt, entrySize * entries);
  for (uint64_t i = 0; i < entries; ++i) {
    uint64_t at = tableAt + i * entrySize;
    if (!file.has(at, wide ? 56 : 32)) break;  // past the head: the loader judges
    const uint64_t kLoad = 1;
    if (file.word(at, 4) != kLoad) continue;
    extent.add(file.word(at + (wide ? 8 : 4), wide ? 8 : 4),
               file.word(at + (wide ? 0x20 : 0x10), wide ? 8 : 4));
  }
  return extent;
}

Extent peExtent(const FileBytes& file) {
  Extent extent;
  uint64_t header = file.word(0x3C, 4);
  if (!file.has(header, 24)) {
    extent.add(header, 24);
    return extent;
  }
  uint64_t sections = file.word(header + 6, 2);
  uint64_t tableAt = header + 24 + file.word(header + 20, 2);
  extent.add(tableAt, sections * 40);
  for (uint64_t i = 0; i < sections; ++i) {
    uint64_t at = tableAt + i * 40;
    if (!file.has(at, 40)) break;  // past the head: the loader judges
    uint64_t rawSize = file.word(at + 16, 4);
    if (rawSize > 0) extent.add(file.word(at + 20, 4), rawSize);
  }
  return extent;
}

}  // namespace

bool moduleFileIsWhole(const char* path, std::string& detail) {
  FileBytes file(path);
  bool elf = file.startsWith(
                 "\x7f"
                 "ELF",
                 4) &&
             file.has(0, 0x40) && file.word(5, 1) == 1;
  bool pe = file.startsWith("MZ", 2) && file.has(0, 0x40);
  if (!elf && !pe) {
    // Too short even for the header of the kind it claims to be.
    if (file.startsWith("\x7f"
                        "ELF",
                        4) ||
        file.startsWith("MZ", 2)) {
      detail = cutShort(file.size(), 0x40);
      return false;
    }
    return true;
  }
  Extent extent = elf ? elfExtent(file) : peExtent(file);
  // A table of extents that lies in the file but past the head read here is
  // left to the system's loader; one that lies past the end is cut short.
  if (extent.needed <= file.size()) return true;
  detail = cutShort(file.size(), extent.needed);
  return false;
}

}  // namespace standin
