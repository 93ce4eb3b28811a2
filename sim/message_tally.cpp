#include "sim/message_tally.h"

namespace sim {

namespace {
constexpr size_t kDistinctKept = 32;
constexpr size_t kLongestKept = 1000;  // longer texts are compared and kept cut
}  // namespace

void MessageTally::add(const char* text) {
  std::string kept(text != nullptr ? text : "");
  if (kept.size() > kLongestKept) kept.resize(kLongestKept);
  for (Entry& entry : entries_) {
    if (entry.text == kept) {
      ++entry.count;
      return;
    }
  }
  if (entries_.size() < kDistinctKept)
    entries_.push_back(Entry{kept, 1});
  else
    ++untold_;
}

int64_t MessageTally::total() const {
  int64_t sum = untold_;
  for (const Entry& entry : entries_) sum += entry.count;
  return sum;
}

}  // namespace sim
