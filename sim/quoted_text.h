// Showing user-supplied text (a path, a line of a file) in a one-line message.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The text in single quotes, control and non-ASCII bytes written as \xNN,
// cut after about 60 characters with "..." so that a huge line cannot make
// a huge message.
std::string quotedText(std::string_view text);

}  // namespace sim
