/* Stand-in host: loading a module file by path and finding its entry point,
 * as a host does before the first call. */
#pragma once

#include <stddef.h>

#include "standin_host/host_calls.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum StandinLoadStatus {
  STANDIN_LOAD_OK = 0,
  STANDIN_LOAD_NO_FILE = 1,    /* nothing at the path, or no path */
  STANDIN_LOAD_UNLOADABLE = 2, /* a file, but the system loader refused it */
  STANDIN_LOAD_NO_ENTRY = 3    /* loaded, but it has no mexFunction of its own */
} StandinLoadStatus;

/* A loaded module file; all zero when nothing is loaded. */
typedef struct StandinModule {
  void* handle;
  MexFunctionPtr mexFunction;
} StandinModule;

/* Longest message the loader writes, terminator included; longer ones are cut. */
#define STANDIN_LOAD_MESSAGE_SIZE 512

/* Loads the file at path (no search of library paths: a bare file name means
 * the current directory) and finds its mexFunction. The file's undefined
 * host and driver functions are bound to those already in the process.
 * On success fills *module. On failure leaves *module zeroed, unloads what
 * it loaded, and, when message is not null, writes one line that names the
 * path and says what went wrong (at most messageSize bytes, terminated). */
StandinLoadStatus standinLoadModule(const char* path, StandinModule* module, char* message,
                                    size_t messageSize);

/* Address of an exported symbol of the loaded file itself (not of a library
 * it depends on), or null. */
void* standinModuleSymbol(const StandinModule* module, const char* name);

/* Runs the exit function the file registered with mexAtExit, if any, then
 * unloads the file and zeroes *module; safe on a zeroed module. */
void standinUnloadModule(StandinModule* module);

#ifdef __cplusplus
}
#endif
