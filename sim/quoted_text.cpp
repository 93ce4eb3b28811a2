#include "sim/quoted_text.h"

#include <cstdio>

namespace sim {

std::string quotedText(std::string_view text) {
  constexpr size_t kShown = 60;
  std::string out = "'";
  size_t shown = 0;
  for (unsigned char c : text) {
    bool starts = (c & 0xC0) != 0x80;  // not a UTF-8 continuation byte
    if (starts && shown >= kShown) {
      out += "...";
      break;
    }
    // UTF-8 continuation bytes and lead bytes pass through; only control
    // bytes could break the line or the terminal.
    if (c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
    if (starts) ++shown;
  }
  return out + "'";
}

}  // namespace sim
