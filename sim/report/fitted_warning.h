// A warning that must fit a terminal's line without losing what a reader
// acts on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

// Characters of UTF-8 text, taken as the columns it fills.
size_t textColumns(std::string_view text);

// The text whole when it takes at most columns characters. Else its status
// and consequence (from "(status " on, or after its last "; ") stay whole,
// a leading "block '<path>': " gives way in the middle of the path, and the
// rest is cut at its end, each cut marked with an ellipsis; the channel
// before the first ": " stays, so a line may still run past the width.
std::string fittedWarning(std::string_view text, size_t columns);

}  // namespace sim
