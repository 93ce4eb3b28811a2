#include "sim/report/wrapped_text.h"

#include <algorithm>

namespace sim {
namespace {

bool startsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// Byte offset of the space where text breaks so that what comes before fills
// at most room columns: the last such space, else the first one (a word too
// long for any line stays whole), else npos.
size_t breakAt(std::string_view text, size_t room) {
  size_t columns = 0, last = std::string_view::npos;
  for (size_t at = 1; at < text.size(); ++at) {
    columns += startsCharacter(text[at - 1]) ? 1 : 0;
    if (text[at] != ' ' || text[at - 1] == ' ') continue;
    if (columns > room) return last != std::string_view::npos ? last : at;
    last = at;
  }
  return textColumns(text) > room ? last : std::string_view::npos;
}

}  // namespace

size_t textColumns(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), startsCharacter));
}

std::string wrappedText(std::string_view text, size_t width, size_t lead, size_t indent) {
  std::string wrapped;
  for (;;) {
    const size_t cut =
        width == 0 ? std::string_view::npos : breakAt(text, width > lead ? width - lead : 0);
    const size_t next = cut == std::string_view::npos ? cut : text.find_first_not_of(' ', cut);
    if (next == std::string_view::npos) return wrapped.append(text.substr(0, cut));
    wrapped.append(text.substr(0, cut)).append("\n").append(indent, ' ');
    text.remove_prefix(next);
    lead = indent;
  }
}

}  // namespace sim
