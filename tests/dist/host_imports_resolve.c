/* Every host and driver function declared in host/, linked through the import
 * libraries made from the .def files in host/ alone, as the module is linked. A .def entry
 * that is missing or sized differently from its declaration fails the link; a
 * name that the stand-in DLLs beside this program do not export fails the
 * load. Once loaded, each import must have been bound to the export of that
 * name in the DLL its .def names, and the driver must export no decorated
 * stdcall names, as the real driver exports none. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "host/daqmx.h"
#include "host/mex_api.h"
#include "host/mx_array.h"

typedef void (*AnyFunction)(void);

typedef struct Import {
  const char* dll;
  const char* name;
  AnyFunction thunk; /* what the import library gave this program */
} Import;

#define IMPORT(dll, function) \
  { dll, #function, (AnyFunction)function }

static const Import kImports[] = {
    IMPORT("libmx.dll", mxCalloc),
    IMPORT("libmx.dll", mxCreateDoubleMatrix),
    IMPORT("libmx.dll", mxCreateString),
    IMPORT("libmx.dll", mxGetClassID),
    IMPORT("libmx.dll", mxGetM),
    IMPORT("libmx.dll", mxGetN),
    IMPORT("libmx.dll", mxGetPr),
    IMPORT("libmx.dll", mxIsComplex),
    IMPORT("libmx.dll", mxIsNumeric),
    IMPORT("libmx.dll", mxIsSparse),
    IMPORT("libmex.dll", mexAtExit),
    IMPORT("libmex.dll", mexCallMATLAB),
    IMPORT("libmex.dll", mexErrMsgTxt),
    IMPORT("libmex.dll", mexWarnMsgTxt),
    IMPORT("nicaiu.dll", DAQmxClearTask),
    IMPORT("nicaiu.dll", DAQmxCreateAOVoltageChan),
    IMPORT("nicaiu.dll", DAQmxCreateTask),
    IMPORT("nicaiu.dll", DAQmxStartTask),
    IMPORT("nicaiu.dll", DAQmxStopTask),
    IMPORT("nicaiu.dll", DAQmxWriteAnalogF64),
};

/* The import library's stub is `jmp *[slot]`; the loader filled the slot.
 * x86-64 gives the slot relative to the end of the 6-byte instruction,
 * i386 by its address. */
static void* boundAddress(AnyFunction thunk) {
  const unsigned char* code = (const unsigned char*)thunk;
  if (code[0] != 0xFF || code[1] != 0x25) return NULL;
  void* const* slot;
#ifdef _WIN64
  int32_t displacement;
  memcpy(&displacement, code + 2, sizeof displacement);
  slot = (void* const*)(code + 6 + displacement);
#else
  memcpy(&slot, code + 2, sizeof slot);
#endif
  return *slot;
}

static int checkImport(const Import* import) {
  HMODULE dll = GetModuleHandleA(import->dll);
  if (dll == NULL) {
    printf("FAIL %s: %s is not loaded\n", import->name, import->dll);
    return 0;
  }
  void* exported = (void*)GetProcAddress(dll, import->name);
  void* bound = boundAddress(import->thunk);
  if (exported == NULL || bound != exported) {
    printf("FAIL %s: bound to %p, %s exports it at %p\n", import->name, bound, import->dll,
           exported);
    return 0;
  }
  printf("PASS %s from %s\n", import->name, import->dll);
  return 1;
}

/* A real driver exports only plain names; a decorated one would let a caller
 * linked by decorated names work here and fail there. */
static int checkNoDecoratedDriverExports(void) {
  static const char* const kDecorated[] = {"DAQmxClearTask@4",  "DAQmxCreateAOVoltageChan@36",
                                           "DAQmxCreateTask@8", "DAQmxStartTask@4",
                                           "DAQmxStopTask@4",   "DAQmxWriteAnalogF64@36"};
  HMODULE driver = GetModuleHandleA("nicaiu.dll");
  int ok = 1;
  for (size_t i = 0; i < sizeof kDecorated / sizeof kDecorated[0]; ++i) {
    if (driver != NULL && GetProcAddress(driver, kDecorated[i]) != NULL) {
      printf("FAIL nicaiu.dll exports the decorated name %s\n", kDecorated[i]);
      ok = 0;
    }
  }
  if (ok) printf("PASS nicaiu.dll exports no decorated names\n");
  return ok;
}

int main(void) {
  int passed = 0;
  int failed = 0;
  for (size_t i = 0; i < sizeof kImports / sizeof kImports[0]; ++i) {
    if (checkImport(&kImports[i])) {
      ++passed;
    } else {
      ++failed;
    }
  }
  if (checkNoDecoratedDriverExports()) {
    ++passed;
  } else {
    ++failed;
  }
  printf("imports: %d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
