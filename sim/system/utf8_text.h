// Well-formed UTF-8, as an XML reader or a terminal expects it: text from
// the command line or a file may hold any bytes at all.
#pragma once

#include <cstddef>
#include <string_view>

namespace sim {

// Bytes of the character at text[at]: 1 to 4, or 0 where no well-formed
// character starts (a stray byte, an overlong form, a surrogate, past
// U+10FFFF, cut short).
size_t utf8CharacterLength(std::string_view text, size_t at);

}  // namespace sim
