// Whether a person is watching, how wide their lines are, and how text
// reaches them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace sim {

bool isTerminal(std::FILE* stream);
// Columns a line may fill on the terminal the stream shows on; 0 when it
// is not one.
size_t terminalWidth(std::FILE* stream);
// UTF-8 text to the stream, flushed: on a Windows console as the console
// shows characters, elsewhere as the bytes given. False when it failed.
bool writeText(std::FILE* stream, std::string_view text);

}  // namespace sim
