#include "standin_host/module_file_target.h"

#include <cstdio>
#include <cstring>

#include "standin_host/wide_path.h"

namespace standin {
namespace {

// The kinds of module file that differ only in word size and system.
struct Target {
  bool windows;
  unsigned machine;  // ELF e_machine or PE Machine
  const char* name;
};
constexpr Target kTargets[] = {
    {false, 0x03, "32-bit Linux"},
    {false, 0x3E, "64-bit Linux"},
    {true, 0x014C, "32-bit Windows"},
    {true, 0x8664, "64-bit Windows"},
};

#ifdef _WIN32
constexpr bool kThisIsWindows = true;
#else
constexpr bool kThisIsWindows = false;
#endif
#if defined(__x86_64__)
constexpr unsigned kThisMachine = kThisIsWindows ? 0x8664 : 0x3E;
#elif defined(__i386__)
constexpr unsigned kThisMachine = kThisIsWindows ? 0x014C : 0x03;
#else
constexpr unsigned kThisMachine = 0;  // none of the above: the loader judges
#endif

constexpr unsigned char kElfMagic[] = {0x7F, 'E', 'L', 'F'};
constexpr unsigned char kPeSignature[] = {'P', 'E', 0, 0};

const Target* targetOf(bool windows, unsigned machine) {
  for (const Target& target : kTargets) {
    if (target.windows == windows && target.machine == machine) return &target;
  }
  return nullptr;
}

unsigned littleEndian(const unsigned char* bytes, int count) {
  unsigned value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// The target the file's header names, or null for any other file.
const Target* fileTarget(const char* path) {
#ifdef _WIN32
  std::FILE* file = _wfopen(widePath(path).c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path, "rb");
#endif
  if (file == nullptr) return nullptr;
  unsigned char head[1024] = {};
  size_t length = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (length >= 0x14 && std::memcmp(head, kElfMagic, sizeof kElfMagic) == 0) {
    return targetOf(false, littleEndian(head + 0x12, 2));
  }
  if (length < 0x40 || std::memcmp(head, "MZ", 2) != 0) return nullptr;
  unsigned header = littleEndian(head + 0x3C, 4);
  if (header > length - 6 || std::memcmp(head + header, kPeSignature, sizeof kPeSignature) != 0)
    return nullptr;
  return targetOf(true, littleEndian(head + header + 4, 2));
}

}  // namespace

bool moduleFileFitsThisProgram(const char* path, std::string& detail) {
  const Target* file = fileTarget(path);
  const Target* self = targetOf(kThisIsWindows, kThisMachine);
  if (file == nullptr || self == nullptr || file == self) return true;
  detail =
      std::string("a ") + file->name + " module file; this program loads " + self->name + " ones";
  return false;
}

}  // namespace standin
