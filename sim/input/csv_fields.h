// The fields of one CSV line as spreadsheets and data-frame libraries write
// them (RFC 4180): a field in double quotes may hold commas and doubled
// quotes; blanks around a field, inside its quotes or out, are not part of it.
#pragma once

#include <string>
#include <string_view>

namespace sim {

inline bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

inline std::string_view trimmedBlanks(std::string_view text) {
  size_t first = 0, end = text.size();
  while (first < end && isBlank(text[first])) ++first;
  while (end > first && isBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

class CsvFields {
 public:
  explicit CsvFields(std::string_view line) : line_(line) {}

  // The next field's text, without its quotes (doubled quotes left doubled);
  // false past the last field, or at a quote that does not close on the line.
  bool next(std::string_view& field) {
    if (done_) return false;
    size_t at = pos_;
    while (at < line_.size() && isBlank(line_[at])) ++at;
    if (at < line_.size() && line_[at] == '"' && quoted(at, field)) return true;
    if (unclosed_) return false;
    // Fields are short: a loop here is quicker than a call to memchr.
    size_t end = at;
    while (end < line_.size() && line_[end] != ',') ++end;
    field = trimmedBlanks(line_.substr(at, end - at));
    finishAt(end);
    return true;
  }
  // The line ended inside quotes: a field that runs over lines, or a stray quote.
  bool unclosedQuote() const { return unclosed_; }

 private:
  // A quoted field followed by blanks and a comma or the end; else the
  // quotes are taken as part of a plain field.
  bool quoted(size_t open, std::string_view& field) {
    size_t close = open + 1;
    for (;; close += 2) {
      while (close < line_.size() && line_[close] != '"') ++close;
      if (close == line_.size()) {
        unclosed_ = done_ = true;
        return false;
      }
      if (close + 1 >= line_.size() || line_[close + 1] != '"') break;
    }
    size_t after = close + 1;
    while (after < line_.size() && isBlank(line_[after])) ++after;
    if (after < line_.size() && line_[after] != ',') return false;
    field = trimmedBlanks(line_.substr(open + 1, close - open - 1));
    finishAt(after);
    return true;
  }
  void finishAt(size_t end) {
    done_ = end >= line_.size();
    pos_ = end + 1;
  }

  std::string_view line_;
  size_t pos_ = 0;
  bool done_ = false;
  bool unclosed_ = false;
};

// A quoted field's text with its doubled quotes made single.
inline std::string unquotedText(std::string_view field) {
  std::string text(field);
  for (size_t at = text.find("\"\""); at != std::string::npos; at = text.find("\"\"", at + 1))
    text.erase(at, 1);
  return text;
}

}  // namespace sim
