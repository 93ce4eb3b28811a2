#include "sim/report/fitted_warning.h"

#include <algorithm>

namespace sim {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026, one column
constexpr std::string_view kBlockOpen = "block '", kBlockClose = "': ";
constexpr size_t kShortestPath = 9;  // columns a shortened block path keeps

bool startsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// Byte offset of character number n of text (its size past the end).
size_t offsetOfColumn(std::string_view text, size_t n) {
  for (size_t at = 0; at < text.size(); ++at)
    if (startsCharacter(text[at]) && n-- == 0) return at;
  return text.size();
}

std::string firstColumns(std::string_view text, size_t n) {
  return std::string(text.substr(0, offsetOfColumn(text, n)));
}

std::string lastColumns(std::string_view text, size_t n) {
  size_t columns = textColumns(text);
  return std::string(text.substr(offsetOfColumn(text, columns > n ? columns - n : 0)));
}

// At most n columns (n >= 1): the middle gives way.
std::string middleCut(std::string_view text, size_t n) {
  if (textColumns(text) <= n) return std::string(text);
  size_t kept = n - 1;
  return firstColumns(text, kept - kept / 2) + std::string(kEllipsis) + lastColumns(text, kept / 2);
}

// At most n columns (n >= 1): the end gives way.
std::string endCut(std::string_view text, size_t n) {
  if (textColumns(text) <= n) return std::string(text);
  return firstColumns(text, n - 1) + std::string(kEllipsis);
}

// Where the part a reader acts on begins.
size_t keptTailStart(std::string_view text) {
  size_t at = text.rfind("(status ");
  if (at != std::string_view::npos) return at;
  at = text.rfind("; ");
  return at != std::string_view::npos ? at + 2 : text.size();
}

}  // namespace

size_t textColumns(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), startsCharacter));
}

std::string fittedWarning(std::string_view text, size_t columns) {
  if (textColumns(text) <= columns) return std::string(text);
  const size_t tailAt = keptTailStart(text);
  std::string_view head = text.substr(0, tailAt), tail = text.substr(tailAt);
  const size_t spaced = !tail.empty() && !head.empty() && head.back() == ' ' ? 1 : 0;
  head.remove_suffix(spaced);
  std::string shown;
  const size_t close = head.find(kBlockClose);
  if (head.rfind(kBlockOpen, 0) == 0 && close != std::string_view::npos) {
    std::string_view path = head.substr(kBlockOpen.size(), close - kBlockOpen.size());
    head.remove_prefix(close + kBlockClose.size());
    size_t others =
        kBlockOpen.size() + kBlockClose.size() + textColumns(head) + spaced + textColumns(tail);
    size_t room = columns > others + kShortestPath ? columns - others : kShortestPath;
    shown = std::string(kBlockOpen) + middleCut(path, room) + std::string(kBlockClose);
  }
  const size_t lead = head.find(": ");
  const size_t leadColumns =
      lead != std::string_view::npos ? textColumns(head.substr(0, lead + 2)) : 0;
  const size_t used = textColumns(shown) + spaced + textColumns(tail);
  const size_t room = columns > used ? columns - used : 0;
  if (!head.empty()) shown += endCut(head, std::max(room, leadColumns + 1));
  if (spaced != 0) shown += ' ';
  return shown + std::string(tail);
}

}  // namespace sim
