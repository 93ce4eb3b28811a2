// What a header's column name means: ao0, ao1 or time (or t) with perhaps a
// unit (ao0_V, "AO0 (V)", "ao1 [mV]", "Time (s)", time_ms, "t (sec)"), or
// another column.
#pragma once

#include <string>
#include <string_view>

namespace sim {

enum class ColumnRole { kAo0, kAo1, kTime, kOther };

struct ColumnName {
  ColumnRole role = ColumnRole::kOther;
  bool milli = false;      // in mV or ms
  bool unitGiven = false;  // the name says its unit
  // Why the name is refused: a channel the block lacks (ao2, ai0), a unit
  // that is not accepted, a unit written another way. Empty when fine.
  std::string fault;
};

// name: a header field, unquoted and trimmed.
ColumnName readColumnName(std::string_view name);

// The name the role has in messages: "ao0", "ao1" or "time".
const char* roleName(ColumnRole role);

}  // namespace sim
