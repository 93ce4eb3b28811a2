#include "standin_host/file_head.h"

#include <cstdio>
#include <cstring>

#include "standin_host/wide_path.h"

namespace standin {

FileHead::FileHead(const char* path) {
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
  head_.resize(static_cast<size_t>(size_ < kHead ? size_ : kHead));
  std::rewind(file);
  if (std::fread(head_.data(), 1, head_.size(), file) != head_.size()) head_.clear();
  std::fclose(file);
}

uint64_t FileHead::word(uint64_t offset, int bytes) const {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | head_[offset + i];
  return value;
}

bool FileHead::startsWith(const char* magic, size_t length) const {
  return has(0, length) && std::memcmp(head_.data(), magic, length) == 0;
}

}  // namespace standin
