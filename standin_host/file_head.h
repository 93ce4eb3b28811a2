// The first bytes of a file, where a module file keeps its headers, read
// once; the rest of the file is only measured.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin {

class FileHead {
 public:
  explicit FileHead(const char* path);  // UTF-8 path; a file that cannot be read reads as empty
  uint64_t size() const { return size_; }
  // [offset, offset + length) lies in the bytes read.
  bool has(uint64_t offset, uint64_t length) const {
    return offset <= head_.size() && length <= head_.size() - offset;
  }
  // A little-endian word of 1 to 8 bytes; has() must hold for it.
  uint64_t word(uint64_t offset, int bytes) const;
  bool startsWith(const char* magic, size_t length) const;

 private:
  static constexpr uint64_t kHead = 1 << 16;
  std::vector<unsigned char> head_;
  uint64_t size_ = 0;
};

}  // namespace standin
