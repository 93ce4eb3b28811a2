// The per-step trace of a run as CSV.
#pragma once

#include <string>

#include "sim/run_result.h"

namespace sim {

// Columns: step, time_s, ao0_requested_V, ao0_actual_V, ao1_requested_V,
// ao1_actual_V, status. Returns false when the file cannot be written.
bool writeTraceCsv(const std::string& path, const RunResult& result);

}  // namespace sim
