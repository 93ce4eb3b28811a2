// Lines a terminal shows whole: wrapped at spaces to its width, each line
// after the first indented, so nothing is cut and nothing breaks in a word.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

// Characters of UTF-8 text, taken as the columns it fills.
size_t textColumns(std::string_view text);

// text (one line, starting with no blank) on a line where lead columns are
// already taken, broken at its spaces so that no line passes width columns;
// each further line starts with indent spaces. A word longer than a line
// stays whole. Width 0 (a file or a pipe) leaves the text one line.
std::string wrappedText(std::string_view text, size_t width, size_t lead, size_t indent);

}  // namespace sim
