#include "sim/system/quoted_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "sim/system/utf8_text.h"

namespace sim {
namespace {

constexpr size_t kShown = 60;  // characters, of which the head and the tail
constexpr size_t kHead = 30, kTail = 27;

bool startsCharacter(unsigned char c) {
  return (c & 0xC0) != 0x80;  // not a UTF-8 continuation byte
}

// A character shown as its bytes: a control character (C0, DEL, or C1,
// which some terminals obey as well) could break the line or drive the
// terminal, U+FFFE and U+FFFF have no place in XML, and a byte that is not
// UTF-8 would be shown as whatever the reader's encoding makes of it.
bool shownAsBytes(std::string_view text, size_t at, size_t length) {
  unsigned char c = static_cast<unsigned char>(text[at]);
  if (length == 0 || c < 0x20 || c == 0x7f) return true;
  if (length == 2 && c == 0xC2) return static_cast<unsigned char>(text[at + 1]) < 0xA0;
  return length == 3 && text.compare(at, 2, "\xEF\xBF") == 0 &&
         static_cast<unsigned char>(text[at + 2]) >= 0xBE;
}

void appendShown(std::string& out, std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    size_t length = utf8CharacterLength(text, at);
    if (!shownAsBytes(text, at, length)) {
      out.append(text, at, length);
      at += length;
      continue;
    }
    for (size_t end = at + std::max<size_t>(length, 1); at < end; ++at) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[at]));
      out += escape;
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
