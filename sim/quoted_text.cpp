#include "sim/quoted_text.h"

#include <cstdio>
#include <vector>

#include "sim/utf8_text.h"

namespace sim {
namespace {

constexpr size_t kShown = 60;  // characters, of which the head and the tail
constexpr size_t kHead = 30, kTail = 27;

bool startsCharacter(unsigned char c) {
  return (c & 0xC0) != 0x80;  // not a UTF-8 continuation byte
}

// Control bytes could break the line or drive the terminal; a byte that is
// not UTF-8 would be shown as whatever the reader's encoding makes of it.
void appendShown(std::string& out, std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    size_t length = utf8CharacterLength(text, at);
    if (length == 0 || c < 0x20 || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
      ++at;
    } else {
      out.append(text, at, length);
      at += length;
    }
  }
}

}  // namespace

std::string escapedText(std::string_view text) {
  std::string out;
  appendShown(out, text);
  return out;
}

std::string quotedText(std::string_view text) {
  std::vector<size_t> starts;  // byte offset of each character
  for (size_t at = 0; at < text.size(); ++at)
    if (startsCharacter(static_cast<unsigned char>(text[at]))) starts.push_back(at);
  std::string out = "'";
  if (starts.size() <= kShown) {
    appendShown(out, text);
  } else {
    appendShown(out, text.substr(0, starts[kHead]));
    out += "...";
    appendShown(out, text.substr(starts[starts.size() - kTail]));
  }
  return out + "'";
}

}  // namespace sim
