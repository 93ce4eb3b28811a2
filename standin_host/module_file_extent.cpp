#include "standin_host/module_file_extent.h"

#include <cstdio>

#include "standin_host/file_head.h"

namespace standin {
namespace {

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

Extent elfExtent(const FileHead& file) {
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

Extent peExtent(const FileHead& file) {
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
  FileHead file(path);
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
