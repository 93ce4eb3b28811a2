#include "sim/summary.h"

#include <algorithm>
#include <cstdio>

#include "sim/quoted_text.h"
#include "sim/trace_csv.h"
#include "simcard/simcard.h"

namespace sim {
namespace {

std::string volts(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f V", value);
  return text;
}

class Lines {
 public:
  explicit Lines(bool problemsOnly) : problemsOnly_(problemsOnly) {}
  void add(const std::string& label, const std::string& text, bool problem) {
    if (problemsOnly_ && !problem) return;
    std::string padded = label;
    if (!label.empty()) padded.resize(std::max<size_t>(label.size() + 1, 12), ' ');
    text_ += padded + text + "\n";
  }
  std::string text() const { return text_; }

 private:
  bool problemsOnly_;
  std::string text_;
};

// The byte offset at or before at where a UTF-8 character starts, so a cut
// there does not split one.
size_t characterStart(const std::string& text, size_t at) {
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return at;
}

// One line per distinct message, cut to the width on a terminal (whole in a
// file or a pipe, where nothing wraps and the advice at the end counts), with
// its count. The
// host's "block '<path>': " before a warning of the run's own block repeats
// the block line, so it goes before cutting, which keeps the useful part.
void addMessages(Lines& lines, const char* label, const MessageTally& tally, size_t width,
                 const std::string& blockPath) {
  const std::string ownPrefix = "block '" + blockPath + "': ";
  lines.add(label, std::to_string(tally.total()), tally.total() > 0);
  for (const MessageTally::Entry& entry : tally.entries()) {
    std::string suffix = entry.count > 1 ? " (" + std::to_string(entry.count) + " times)" : "";
    std::string text = entry.text;
    if (text.size() > ownPrefix.size() && text.compare(0, ownPrefix.size(), ownPrefix) == 0)
      text.erase(0, ownPrefix.size());
    for (char& c : text)
      if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    text = escapedText(text);  // the block's path may hold bytes that are not UTF-8
    size_t room = width > suffix.size() + 8 ? width - suffix.size() - 2 : 8;
    if (width != 0 && text.size() > room)
      text = text.substr(0, characterStart(text, room - 3)) + "...";
    lines.add("", "  " + text + suffix, true);
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

std::string channelLine(const ChannelFigures& figures) {
  return "writes " + std::to_string(figures.writes) + ", refused " +
         std::to_string(figures.refused) + ", min " + volts(figures.minVolts) + ", max " +
         volts(figures.maxVolts) + ", after shutdown " + afterShutdown(figures);
}

// What each status in the trace means, once.
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
  Lines lines(context.problemsOnly);
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
  addMessages(lines, "warnings", result.warnings, context.width, context.blockPath);
  addMessages(lines, "dialogs", result.dialogs, context.width, context.blockPath);
  lines.add("errors", std::to_string(result.errors.size()), !result.errors.empty());
  for (const std::string& error : result.errors) lines.add("", "  " + escapedText(error), true);
  lines.add("tasks open", std::to_string(result.tasksLeftOpen), result.tasksLeftOpen != 0);
  lines.add("result", resultWord(result), !result.clean());
  return lines.text();
}

}  // namespace sim
