#include "sim/run/message_tally.h"

namespace sim {

namespace {
constexpr size_t kDistinctKept = 32;
}  // namespace

void MessageTally::add(const char* text) {
  // Whole texts: two warnings that differ only past some length (a long
  // block path before them) are two warnings. A text is as long as the
  // command line made the block path, so the distinct ones kept stay small.
  std::string kept(text != nullptr ? text : "");
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
