// The module's warnings (or dialogs) of a run, each distinct text once with
// how often it came. Bounded: past a few dozen distinct texts only a count
// is kept, so a module that warns at every step cannot exhaust memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class MessageTally {
 public:
  struct Entry {
    std::string text;
    int64_t count;
  };
  void add(const char* text);
  const std::vector<Entry>& entries() const { return entries_; }
  int64_t untold() const { return untold_; }  // messages past the distinct-text limit
  int64_t total() const;

 private:
  std::vector<Entry> entries_;
  int64_t untold_ = 0;
};

}  // namespace sim
