// What the program's fuzz targets count as a finding, in one place.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Ends the run: libFuzzer keeps the input that led here.
[[noreturn]] inline void finding(const std::string& what) {
  std::fprintf(stderr, "FINDING: %s\n", what.c_str());
  std::abort();
}

// Text and no control character: nothing the user gave may break the
// line or drive the terminal.
inline bool oneLine(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  return !text.empty();
}

}  // namespace fuzz
