// A stop from outside, ended as a host ends a stopped simulation. During the
// run, the first SIGINT, SIGTERM or SIGHUP (on Windows: Ctrl-C, Ctrl-Break,
// a closed console, a log-off or a shutdown) only asks the run to stop after
// its current step, so that the block's end of run still happens; the caller
// then says so and ends by the same signal. Before or after the run, a
// second stop, SIGQUIT or a reader gone from a pipe end the program at once.
// Either way the watched temporaries are removed first.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

namespace sim {

namespace detail {
extern std::atomic<int> requestedStop;
}

// The exit status of a program stopped on Windows, where no signal gives one.
constexpr int kWindowsStopStatus = 130;
// The exit status on Windows when a reader left a pipe, as a shell reports
// SIGPIPE on Linux.
constexpr int kWindowsPipeGoneStatus = 141;

// Installs the handlers; a signal ignored by whoever started the program
// (nohup) stays ignored.
void watchStopSignals();

// While true, a first stop signal asks the run to stop instead of ending
// the program.
void setRunInProgress(bool running);

// The signal that asked the run to stop, or 0: one relaxed load, cheap
// enough for every step.
inline int stopRequested() {
  return detail::requestedStop.load(std::memory_order_relaxed);
}

// "SIGINT", or on Windows the console's event ("Ctrl-C").
const char* stopName(int signalNumber);

// A temporary file to remove if the program ends at once. On Windows the
// handle it was created with (which holds delete access) is kept, as an
// open file cannot be removed by name there.
void watchTemporary(const std::string& path, void* windowsHandle, bool watch);

// Between the two, a stop that would end the program at once waits (on
// Linux the signals are held; on Windows the thread that ends it waits for
// the list of temporaries), so that a file is made and watched as one.
void deferStops();
void resumeStops();

// Ends the program as the signal would have ended it (on Windows with
// kWindowsStopStatus), after the run was stopped and said so.
[[noreturn]] void endByStopSignal(int signalNumber);

// Whether a write to the stream failed with error because the pipe it goes
// to has no reader any more (Windows; on Linux SIGPIPE tells).
bool pipeReaderGone(std::FILE* stream, int error);

// A reader gone from the pipe an output goes to: removes the temporaries and
// ends the program silently, as SIGPIPE does on Linux.
[[noreturn]] void endAsPipeGone();

}  // namespace sim
