// Showing user-supplied text (a path, a line of a file) in a one-line message.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The text in single quotes, control bytes written as \xNN,
// its middle cut to "..." past about 60 characters, so that a huge line
// cannot make a huge message and a long path keeps its file name.
std::string quotedText(std::string_view text);

// The whole text with its control bytes written as \xNN, no quotes: for a
// line that shows one text alone, such as the summary's.
std::string escapedText(std::string_view text);

}  // namespace sim
