#include "standin_host/module_loader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "standin_host/module_file_extent.h"
#include "standin_host/module_file_kind.h"
#include "standin_host/wide_path.h"

#ifdef _WIN32
#include <windows.h>
#else
// dlinfo and dladdr1 are GNU extensions; C++ compilers on Linux enable them.
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#endif

namespace {

void writeMessage(char* message, size_t size, const char* format, ...) {
  if (message == nullptr || size == 0) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, size, format, args);
  va_end(args);
}

StandinLoadStatus fail(StandinLoadStatus status, const char* path, const char* detail,
                       char* message, size_t size) {
  switch (status) {
    case STANDIN_LOAD_NO_FILE:
      writeMessage(message, size, "cannot load module '%s': no such file", path);
      break;
    case STANDIN_LOAD_UNLOADABLE:
      writeMessage(message, size, "cannot load module '%s': not a loadable library (%s)", path,
                   detail);
      break;
    default:
      writeMessage(message, size, "cannot load module '%s': it exports no mexFunction", path);
      break;
  }
  return status;
}

#ifdef _WIN32

bool fileExists(const char* path, bool* isDirectory) {
  DWORD attributes = GetFileAttributesW(standin::widePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  *isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return true;
}

// A bare name would make LoadLibrary search the system's paths; a host loads
// exactly the file it was given.
std::wstring loadablePath(const char* path) {
  std::wstring given = standin::widePath(path);
  DWORD length = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (length == 0) return given;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return given;
  full.resize(length);
  return full;
}

// Some of the system's texts hold an insert for the file ("Bad EXE format
// for %1"): the file's own name goes there.
std::wstring withFileName(std::wstring text, const std::wstring& path) {
  const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  for (size_t at = text.find(L"%1"); at != std::wstring::npos;
       at = text.find(L"%1", at + name.size()))
    text.replace(at, 2, name);
  return text;
}

std::string systemErrorText(const std::wstring& path) {
  // In UTF-16, then UTF-8 like every other message: not the ANSI code page.
  wchar_t text[256] = L"";
  DWORD code = GetLastError();
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text / sizeof text[0], nullptr);
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' ||
                        text[length - 1] == L' ' || text[length - 1] == L'.')) {
    text[--length] = L'\0';
  }
  if (length == 0) return "error " + std::to_string(static_cast<unsigned long>(code));
  std::wstring filled = withFileName(std::wstring(text, length), path);
  return standin::utf8Text(filled.c_str(), static_cast<int>(filled.size()));
}

void* openLibrary(const std::wstring& path, std::string* error) {
  // No message box for a broken file: the caller reports it.
  UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE handle = LoadLibraryW(path.c_str());
  if (handle == nullptr) *error = systemErrorText(path);
  SetErrorMode(previousMode);
  return reinterpret_cast<void*>(handle);
}

void* ownSymbol(void* handle, const char* name) {
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), name);
  return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(address));
}

void closeLibrary(void* handle) {
  FreeLibrary(static_cast<HMODULE>(handle));
}

#else

bool fileExists(const char* path, bool* isDirectory) {
  struct stat status;
  if (stat(path, &status) != 0) return false;
  *isDirectory = S_ISDIR(status.st_mode);
  return true;
}

// dlopen searches the library paths for a name without a slash; a host loads
// exactly the file it was given.
std::string loadablePath(const char* path) {
  if (std::strchr(path, '/') != nullptr) return path;
  return std::string("./") + path;
}

void* openLibrary(const std::string& path, std::string* error) {
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* text = dlerror();
    *error = text != nullptr ? text : "unknown loader error";
  }
  return handle;
}

// dlsym also searches the libraries the file depends on; only a symbol that
// lies in the file itself counts as its export.
void* ownSymbol(void* handle, const char* name) {
  void* address = dlsym(handle, name);
  if (address == nullptr) return nullptr;
  struct link_map* fileMap = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &fileMap) != 0) return nullptr;
  Dl_info info;
  struct link_map* symbolMap = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&symbolMap), RTLD_DL_LINKMAP) == 0) {
    return nullptr;
  }
  return symbolMap == fileMap ? address : nullptr;
}

void closeLibrary(void* handle) {
  dlclose(handle);
}

#endif

}  // namespace

extern "C" StandinLoadStatus standinLoadModule(const char* path, StandinModule* module,
                                               char* message, size_t messageSize) {
  if (module != nullptr) *module = StandinModule{};
  if (path == nullptr || path[0] == '\0') {
    writeMessage(message, messageSize, "cannot load module: no path given");
    return STANDIN_LOAD_NO_FILE;
  }
  bool isDirectory = false;
  if (!fileExists(path, &isDirectory)) {
    return fail(STANDIN_LOAD_NO_FILE, path, nullptr, message, messageSize);
  }
  if (isDirectory) {
    return fail(STANDIN_LOAD_UNLOADABLE, path, "a directory", message, messageSize);
  }
  // The system's loader would refuse a file of another kind with a word of
  // its header ("wrong ELF class", "invalid ELF header"): name it instead.
  std::string error = standin::foreignModuleFile(path);
  if (!error.empty()) {
    writeMessage(message, messageSize, "cannot load module '%s': %s", path, error.c_str());
    return STANDIN_LOAD_UNLOADABLE;
  }
  if (!standin::moduleFileIsWhole(path, error)) {
    return fail(STANDIN_LOAD_UNLOADABLE, path, error.c_str(), message, messageSize);
  }
  void* handle = openLibrary(loadablePath(path), &error);
  if (handle == nullptr) {
    return fail(STANDIN_LOAD_UNLOADABLE, path, error.c_str(), message, messageSize);
  }
  void* entry = ownSymbol(handle, "mexFunction");
  if (entry == nullptr) {
    closeLibrary(handle);
    return fail(STANDIN_LOAD_NO_ENTRY, path, nullptr, message, messageSize);
  }
  if (module != nullptr) {
    module->handle = handle;
    module->mexFunction = reinterpret_cast<MexFunctionPtr>(entry);
  } else {
    closeLibrary(handle);
  }
  if (message != nullptr && messageSize > 0) message[0] = '\0';
  return STANDIN_LOAD_OK;
}

extern "C" void* standinModuleSymbol(const StandinModule* module, const char* name) {
  if (module == nullptr || module->handle == nullptr || name == nullptr) return nullptr;
  return ownSymbol(module->handle, name);
}

extern "C" void standinUnloadModule(StandinModule* module) {
  if (module == nullptr) return;
  if (module->handle != nullptr) {
    // As a host does: the module's exit function runs while its file is still there.
    standinRunExitFunctions(reinterpret_cast<const void*>(module->mexFunction));
    closeLibrary(module->handle);
  }
  *module = StandinModule{};
}
