// An SVG plot of both outputs over time.
#pragma once

#include <string>

#include "sim/run_result.h"

namespace sim {

// Plots the card's output volts of ao0 and ao1 against time, with axes,
// units, the 0-5 V band and a legend. Returns false when the file cannot be
// written.
bool writeSvgPlot(const std::string& path, const std::string& title, const RunResult& result);

}  // namespace sim
