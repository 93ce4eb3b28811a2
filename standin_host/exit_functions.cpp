// mexAtExit and the host's side of it: one exit function per module file,
// run when the host unloads that file or ends.
#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "host/mex_api.h"
#include "standin_host/call_scope.h"
#include "standin_host/host_calls.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

struct Registration {
  const void* moduleBase;  // the file the function lies in
  MexExitFunction function;
};

std::vector<Registration> registrations;
size_t registrationCalls = 0;

// The load address of the file that holds address, or null when none does.
const void* moduleBase(const void* address) {
#ifdef _WIN32
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return nullptr;
  return module;
#else
  Dl_info info;
  if (dladdr(address, &info) == 0) return nullptr;
  return info.dli_fbase;
#endif
}

const void* functionAddress(MexExitFunction function) {
  return reinterpret_cast<const void*>(function);
}

// As a call: an error the function raises ends it and nothing else.
void runAsCall(MexExitFunction function) {
  StandinCallFrame frame;
  standinCallEnter(&frame);
  if (setjmp(frame.jump) == 0) {
    try {
      function();
    } catch (const standin::CallEnded&) {
    }
  }
  standinCallLeave(&frame);
}

void runAtProcessExit() {
  standinRunExitFunctions(nullptr);
}

}  // namespace

int HOST_CALL mexAtExit(MexExitFunction exitFunction) {
  ++registrationCalls;
  if (registrationCalls == 1) std::atexit(runAtProcessExit);
  const void* base = moduleBase(functionAddress(exitFunction));
  for (Registration& registration : registrations) {
    if (registration.moduleBase == base) {
      registration.function = exitFunction;
      return 0;
    }
  }
  registrations.push_back(Registration{base, exitFunction});
  return 0;
}

void standinRunExitFunctions(const void* moduleAddress) {
  const void* base = moduleAddress != nullptr ? moduleBase(moduleAddress) : nullptr;
  // Taken out before it runs: an exit function may register again.
  for (size_t i = registrations.size(); i-- > 0;) {
    if (i >= registrations.size()) continue;
    const Registration registration = registrations[i];
    if (moduleAddress != nullptr && registration.moduleBase != base) continue;
    registrations.erase(registrations.begin() + static_cast<std::ptrdiff_t>(i));
    if (registration.function != nullptr) runAsCall(registration.function);
  }
}

size_t standinExitRegistrationCount(void) {
  return registrationCalls;
}
