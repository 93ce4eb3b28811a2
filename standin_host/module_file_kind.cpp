#include "standin_host/module_file_kind.h"

#include "standin_host/file_head.h"

namespace standin {
namespace {

enum class System { kNone, kLinux, kWindows, kMacOs };

struct FileKind {
  System system = System::kNone;
  int bits = 0;
  unsigned machine = 0;  // as the file's headers number it; 0 unknown
};

// The machine numbers of x86 in each format's headers.
constexpr unsigned kElfI386 = 3, kElfX86_64 = 62, kPeI386 = 0x14c, kPeX86_64 = 0x8664;
// The one 32-bit Windows machine besides x86 that the bits follow from.
constexpr unsigned kPeArm = 0x1c4;

FileKind thisProgram() {
  FileKind kind;
  kind.bits = static_cast<int>(sizeof(void*) * 8);
#ifdef _WIN32
  kind.system = System::kWindows;
  kind.machine = kind.bits == 64 ? kPeX86_64 : kPeI386;
#else
  kind.system = System::kLinux;
#if defined(__x86_64__)
  kind.machine = kElfX86_64;
#elif defined(__i386__)
  kind.machine = kElfI386;
#endif
#endif
  return kind;
}

FileKind readKind(const FileHead& file) {
  FileKind kind;
  if (file.startsWith("\x7f"
                      "ELF",
                      4) &&
      file.has(0, 20) && file.word(5, 1) == 1) {
    kind.system = System::kLinux;
    kind.bits = file.word(4, 1) == 2 ? 64 : 32;
    kind.machine = static_cast<unsigned>(file.word(18, 2));
  } else if (file.startsWith("MZ", 2) && file.has(0, 0x40)) {
    uint64_t header = file.word(0x3C, 4);
    if (!file.has(header, 6) || file.word(header, 4) != 0x4550) return kind;  // "PE\0\0"
    kind.system = System::kWindows;
    kind.machine = static_cast<unsigned>(file.word(header + 4, 2));
    // The optional header's magic gives the word size of any machine (PE32
    // or PE32+); only a file cut before it falls back on the machine.
    const uint64_t magic = file.has(header + 24, 2) ? file.word(header + 24, 2) : 0;
    const bool pe32 =
        magic == 0x10b || (magic != 0x20b && (kind.machine == kPeI386 || kind.machine == kPeArm));
    kind.bits = pe32 ? 32 : 64;
  } else if (file.startsWith("\xcf\xfa\xed\xfe", 4) || file.startsWith("\xce\xfa\xed\xfe", 4)) {
    kind.system = System::kMacOs;
    kind.bits = file.startsWith("\xcf", 1) ? 64 : 32;
  }
  return kind;
}

bool isX86(const FileKind& kind) {
  return kind.machine == kElfI386 || kind.machine == kElfX86_64 || kind.machine == kPeI386 ||
         kind.machine == kPeX86_64;
}

// The processors a module file is commonly built for, as its headers number them.
const char* processorName(const FileKind& kind) {
  struct Known {
    System system;
    unsigned machine;
    const char* name;
  };
  static const Known kKnown[] = {
      {System::kLinux, kElfI386, "x86"},
      {System::kLinux, kElfX86_64, "x86-64"},
      {System::kLinux, 40, "ARM"},
      {System::kLinux, 183, "aarch64"},
      {System::kLinux, 243, "RISC-V"},
      {System::kLinux, 8, "MIPS"},
      {System::kLinux, 20, "PowerPC"},
      {System::kLinux, 21, "PowerPC64"},
      {System::kLinux, 22, "IBM Z"},
      {System::kWindows, kPeI386, "x86"},
      {System::kWindows, kPeX86_64, "x86-64"},
      {System::kWindows, kPeArm, "ARM"},
      {System::kWindows, 0xaa64, "aarch64"},
  };
  for (const Known& known : kKnown)
    if (known.system == kind.system && known.machine == kind.machine) return known.name;
  return nullptr;
}

std::string named(const FileKind& kind) {
  if (kind.system == System::kMacOs) return "a macOS module file";
  std::string text = (kind.bits == 64 ? "a 64-bit " : "a 32-bit ") +
                     std::string(kind.system == System::kWindows ? "Windows" : "Linux") +
                     " module file";
  if (isX86(kind)) return text;
  const char* processor = processorName(kind);
  if (processor != nullptr) return text + " for " + processor + " processors";
  return text + " for another processor (machine " + std::to_string(kind.machine) + ")";
}

// Said to a kit's user: the release kits rehearse the .mexa64, the .mexw32
// and the .mexw64; none the .mexglx, whose block the .mexa64 is too.
const char* rehearsedBy(const FileKind& kind) {
  switch (kind.machine) {
    case kElfX86_64:
      return "rehearse it with the Linux kit's rehearsal/twinvolts-sim";
    case kElfI386:
      return "no twinvolts kit rehearses it: rehearse the same block with the Linux kit's "
             "module/twinvolts.mexa64 and rehearsal/twinvolts-sim";
    case kPeI386:
      return "rehearse it with the win32 kit's rehearsal\\twinvolts-sim.exe, on Windows or "
             "under wine";
    case kPeX86_64:
      return "rehearse it with the win64 kit's rehearsal\\twinvolts-sim.exe, on 64-bit Windows";
    default:
      return "no twinvolts kit rehearses it";
  }
}

}  // namespace

std::string foreignModuleFile(const char* path) {
  FileKind file = readKind(FileHead(path));
  FileKind self = thisProgram();
  if (file.system == System::kNone) return "";
  if (file.system == self.system && file.bits == self.bits &&
      (file.machine == self.machine || self.machine == 0))
    return "";
  std::string mine = self.system == System::kWindows ? "Windows" : "Linux";
  if (self.machine == 0) mine += " (this processor's)";
  mine += " ones";
  // A file for another processor is told apart from this program's by that alone.
  if (file.system != System::kMacOs && !isX86(file) && processorName(self) != nullptr)
    mine += std::string(" for ") + processorName(self);
  return "it is " + named(file) + ", and this program loads " + std::to_string(self.bits) +
         "-bit " + mine + ": " + rehearsedBy(file);
}

}  // namespace standin
