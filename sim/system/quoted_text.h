// Showing text that came from the command line, the environment or a file (a
// path, a block path, a line of a file, a module's message): every message,
// the summary and the plot show such text through these, so that no byte of
// it can break a line, drive a terminal or spoil the XML.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The text in single quotes, control characters, U+FFFE, U+FFFF and bytes
// that are not UTF-8 written as \xNN (one per byte),
// its middle cut to "..." past about 60 characters, so that a huge line
// cannot make a huge message and a long path keeps its file name.
std::string quotedText(std::string_view text);

// The whole text written as above, no quotes: for a line that shows one
// text alone, such as the summary's, or for the plot's title.
std::string escapedText(std::string_view text);

}  // namespace sim
