#include "sim/report/summary.h"

#include <algorithm>
#include <cstdio>

#include "sim/report/wrapped_text.h"
#include "sim/system/quoted_text.h"
#include "sim/system/shortest_decimal.h"
#include "simcard/simcard.h"

namespace sim {
namespace {

std::string volts(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f V", value);
  return text;
}

// On a terminal each line wraps at its spaces, indented under its text: the
// label, or the blanks a listed line starts with, stand out on the left.
class Lines {
 public:
  Lines(bool problemsOnly, size_t width) : problemsOnly_(problemsOnly), width_(width) {}
  void add(const std::string& label, const std::string& text, bool problem) {
    if (problemsOnly_ && !problem) return;
    std::string lead = label;
    if (!label.empty()) lead.resize(std::max<size_t>(label.size() + 1, 12), ' ');
    const size_t blanks = label.empty() ? std::min(text.find_first_not_of(' '), text.size()) : 0;
    lead.append(text, 0, blanks);
    const size_t leadColumns = textColumns(lead);
    text_ +=
        lead +
        wrappedText(std::string_view(text).substr(blanks), width_, leadColumns, leadColumns + 2) +
        "\n";
  }
  std::string text() const { return text_; }

 private:
  bool problemsOnly_;
  size_t width_;
  std::string text_;
};

// One line per distinct message, with its count. The host's "block '<path>': "
// before a warning of the run's own block repeats the block line: it goes.
void addMessages(Lines& lines, const char* label, const MessageTally& tally,
                 const std::string& blockPath) {
  const std::string ownPrefix = "block '" + blockPath + "': ";
  lines.add(label, std::to_string(tally.total()), tally.total() > 0);
  for (const MessageTally::Entry& entry : tally.entries()) {
    std::string suffix = entry.count > 1 ? " (" + std::to_string(entry.count) + " times)" : "";
    std::string_view text = entry.text;
    if (text.size() > ownPrefix.size() && text.compare(0, ownPrefix.size(), ownPrefix) == 0)
      text.remove_prefix(ownPrefix.size());
    lines.add("", "  " + escapedText(text) + suffix, true);
  }
  if (tally.untold() > 0)
    lines.add("", "  and " + std::to_string(tally.untold()) + " more of other texts", true);
}

// 0 V only on the card's word; a level the card cannot vouch for is not guessed.
std::string afterShutdown(const ChannelFigures& figures) {
  if (figures.zeroed()) return volts(0.0);
  if (figures.levelUnknown != nullptr)
    return std::string("NOT ZEROED, level unknown (") + figures.levelUnknown + ")";
  return "NOT ZEROED, held at " + volts(figures.finalVolts);
}

// The steps' writes, as the block counts them, and the zeroing write apart.
std::string count(int64_t steps, bool zeroing) {
  return std::to_string(steps) + (zeroing ? " + zeroing" : "");
}

// Min and max of the levels known; none known is said, not shown as 0 V.
std::string channelLine(const ChannelFigures& figures) {
  const bool known = figures.knownSteps > 0;
  return "writes " + count(figures.writes, figures.shutdown.written) + ", refused " +
         count(figures.refused, figures.zeroingRefused()) + ", min " +
         (known ? volts(figures.minVolts) : "unknown") + ", max " +
         (known ? volts(figures.maxVolts) : "unknown") + ", after shutdown " +
         afterShutdown(figures);
}

// What each status in the trace or a warning means, once.
void addStatuses(Lines& lines, const std::vector<int32_t>& statuses) {
  for (size_t i = 0; i < statuses.size(); ++i)
    lines.add(i == 0 ? "statuses" : "",
              (i == 0 ? "" : "            ") + std::to_string(statuses[i]) + " " +
                  simcardStatusText(statuses[i]),
              true);
}

}  // namespace

const char* resultWord(const RunResult& result) {
  if (!result.completed) return "stopped";
  return result.clean() ? "completed" : "completed with faults";
}

std::string summaryText(const SummaryContext& context, const RunResult& result) {
  Lines lines(context.problemsOnly, context.width);
  lines.add("module", escapedText(context.modulePath), false);
  lines.add("block", escapedText(context.blockPath), false);
  lines.add("input", escapedText(context.inputDescription), false);
  lines.add("steps", std::to_string(result.steps) + " of " + shortestDecimal(context.dt) + " s",
            false);
  for (size_t ch = 0; ch < result.channels.size(); ++ch) {
    const ChannelFigures& figures = result.channels[ch];
    lines.add("Dev1/ao" + std::to_string(ch), channelLine(figures),
              figures.refused > 0 || !result.zeroed(ch));
  }
  if (result.unassigned.writes > 0)
    lines.add("no channel",
              "writes " + std::to_string(result.unassigned.writes) + ", refused " +
                  std::to_string(result.unassigned.refused),
              result.unassigned.refused > 0);
  addStatuses(lines, result.statuses);
  addMessages(lines, "warnings", result.warnings, context.blockPath);
  addMessages(lines, "dialogs", result.dialogs, context.blockPath);
  lines.add("errors", std::to_string(result.errors.size()), !result.errors.empty());
  for (const std::string& error : result.errors) lines.add("", "  " + escapedText(error), true);
  lines.add("tasks open", std::to_string(result.tasksLeftOpen), result.tasksLeftOpen != 0);
  lines.add("result", resultWord(result), !result.clean());
  return lines.text();
}

}  // namespace sim
