/* A program outside the rehearsal kit that loads what a host would load: the
 * simulated card must not act for it.
 *
 * usage: outside_loader driver FILE  every driver function of FILE (the
 *                                    simulated card) refuses with the card's
 *                                    own status and hands out nothing
 *        outside_loader module FILE  loading the module file FILE from here
 *                                    does not reach the simulated card: the
 *                                    load fails, or the driver it bound to
 *                                    refuses every call as above
 * Exit status 0 when that holds, 1 when it does not, 2 for a bad command. */
#include <stdio.h>
#include <string.h>

#include "simcard/simcard.h"

#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
#else
#include <dlfcn.h>
typedef void* Library;
#endif

typedef int32(DRIVER_CALL* CreateTaskFn)(const char*, TaskHandle*);
typedef int32(DRIVER_CALL* CreateChanFn)(TaskHandle, const char*, const char*, float64, float64,
                                         int32, const char*);
typedef int32(DRIVER_CALL* TaskFn)(TaskHandle);
typedef int32(DRIVER_CALL* WriteFn)(TaskHandle, int32, bool32, float64, bool32, const float64*,
                                    int32*, bool32*);

/* Loads by full path, as a host loads a module file: no search of the
 * program's folder for the file itself. */
static Library openLibrary(const char* path) {
#ifdef _WIN32
  char full[MAX_PATH * 4];
  DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
  if (length == 0 || length >= sizeof full) return NULL;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  Library library = LoadLibraryA(full);
  if (library == NULL) printf("not loaded: %s (system error %lu)\n", full, GetLastError());
  return library;
#else
  Library library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) printf("not loaded: %s\n", dlerror());
  return library;
#endif
}

static void* symbol(Library library, const char* name) {
#ifdef _WIN32
  return (void*)GetProcAddress(library, name);
#else
  return dlsym(library, name);
#endif
}

static int expectRefusal(const char* function, int32 status) {
  int refused = status == SIMCARD_ERR_NOT_ARMED;
  printf("%s %s returned %d\n", refused ? "PASS" : "FAIL", function, (int)status);
  return refused;
}

/* Every one of the six functions, with the block's own arguments. */
static int driverRefusesAll(Library driver) {
  CreateTaskFn createTask = (CreateTaskFn)symbol(driver, "DAQmxCreateTask");
  CreateChanFn createChan = (CreateChanFn)symbol(driver, "DAQmxCreateAOVoltageChan");
  TaskFn start = (TaskFn)symbol(driver, "DAQmxStartTask");
  TaskFn stop = (TaskFn)symbol(driver, "DAQmxStopTask");
  TaskFn clear = (TaskFn)symbol(driver, "DAQmxClearTask");
  WriteFn write = (WriteFn)symbol(driver, "DAQmxWriteAnalogF64");
  if (!createTask || !createChan || !start || !stop || !clear || !write) {
    printf("FAIL the library lacks a driver function\n");
    return 0;
  }
  TaskHandle task = 0;
  float64 volts = 2.5;
  int32 written = -1;
  int ok = expectRefusal("DAQmxCreateTask", createTask("", &task));
  if (task != 0) {
    printf("FAIL DAQmxCreateTask handed out task %u\n", (unsigned)task);
    ok = 0;
  }
  task = 1;
  ok &= expectRefusal("DAQmxCreateAOVoltageChan",
                      createChan(task, "Dev1/ao0", "", 0.0, 5.0, DAQmx_Val_Volts, NULL));
  ok &= expectRefusal("DAQmxStartTask", start(task));
  ok &= expectRefusal("DAQmxWriteAnalogF64", write(task, 1, 0, 10.0, 0, &volts, &written, NULL));
  if (written != -1) {
    printf("FAIL DAQmxWriteAnalogF64 reported %d samples written\n", (int)written);
    ok = 0;
  }
  ok &= expectRefusal("DAQmxStopTask", stop(task));
  ok &= expectRefusal("DAQmxClearTask", clear(task));
  return ok;
}

/* The driver the loaded module was bound to, found by its name. */
static Library boundDriver(void) {
#ifdef _WIN32
  return GetModuleHandleA("nicaiu.dll");
#else
  return dlopen(NULL, RTLD_NOW);
#endif
}

/* Whether FILE, loaded outside the kit, is refused every driver call. */
static int refusedOutsideTheKit(int isModule, const char* file) {
  Library library = openLibrary(file);
  if (library == NULL) {
    if (isModule) printf("PASS the module file does not load here\n");
    return isModule;
  }
  if (isModule) {
    printf("the module file loaded: checking the driver it was bound to\n");
    Library driver = boundDriver();
    if (driver == NULL || symbol(driver, "DAQmxCreateTask") == NULL) {
      printf("FAIL it loaded without a driver to bind to\n");
      return 0;
    }
    library = driver;
  }
  return driverRefusesAll(library);
}

int main(int argc, char** argv) {
  if (argc != 3 || (strcmp(argv[1], "driver") != 0 && strcmp(argv[1], "module") != 0)) {
    fprintf(stderr, "usage: outside_loader driver|module FILE\n");
    return 2;
  }
  int refused = refusedOutsideTheKit(strcmp(argv[1], "module") == 0, argv[2]);
  /* The closing line, which a program that dies part-way never prints: under
     wine such a program can still end with status 0. */
  if (refused) printf("outside_loader: passed\n");
  return refused ? 0 : 1;
}
