#include "sim/report/json_summary.h"

#include <cmath>
#include <cstdio>

#include "sim/system/shortest_decimal.h"
#include "sim/system/utf8_text.h"
#include "simcard/simcard.h"

namespace sim {
namespace {

// JSON holds only Unicode: a byte that is not UTF-8 is written as the text
// \xHH, as every other output of the program shows it; control characters
// are kept, as \u escapes.
std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t at = 0; at < text.size();) {
    const size_t length = utf8CharacterLength(text, at);
    const auto c = static_cast<unsigned char>(text[at]);
    char escape[8];
    if (length == 0) {
      std::snprintf(escape, sizeof escape, "\\\\x%02X", c);
      out += escape;
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7f) {
      std::snprintf(escape, sizeof escape, "\\u%04X", c);
      out += escape;
    } else {
      out.append(text, at, length);
    }
    at += length == 0 ? 1 : length;
  }
  return out + "\"";
}

std::string jsonNumber(double value) {
  return std::isfinite(value) ? shortestDecimal(value) : "null";
}

std::string field(const char* name, const std::string& value) {
  return std::string("\"") + name + "\": " + value;
}

// The level the output keeps after shutdown, null where nothing can tell.
std::string levelAfterShutdown(const ChannelFigures& figures) {
  if (figures.zeroed()) return "0";
  return figures.levelUnknown != nullptr ? "null" : jsonNumber(figures.finalVolts);
}

std::string channelJson(const std::string& name, const ChannelFigures& figures) {
  const bool known = figures.knownSteps > 0;
  return "{" + field("name", jsonString(name)) + ", " +
         field("writes", std::to_string(figures.writes)) + ", " +
         field("refused", std::to_string(figures.refused)) + ", " +
         field("zeroing_written", figures.shutdown.written ? "true" : "false") + ", " +
         field("zeroing_refused", figures.zeroingRefused() ? "true" : "false") + ", " +
         field("min_V", known ? jsonNumber(figures.minVolts) : "null") + ", " +
         field("max_V", known ? jsonNumber(figures.maxVolts) : "null") + ", " +
         field("after_shutdown_V", levelAfterShutdown(figures)) + ", " +
         field("level_unknown",
               figures.levelUnknown != nullptr ? jsonString(figures.levelUnknown) : "null") +
         ", " + field("zeroed", figures.zeroed() ? "true" : "false") + "}";
}

std::string messagesJson(const MessageTally& tally) {
  std::string texts;
  for (const MessageTally::Entry& entry : tally.entries())
    texts += std::string(texts.empty() ? "" : ", ") + "{" + field("text", jsonString(entry.text)) +
             ", " + field("count", std::to_string(entry.count)) + "}";
  return "{" + field("total", std::to_string(tally.total())) + ", " +
         field("texts", "[" + texts + "]") + ", " +
         field("other_texts", std::to_string(tally.untold())) + "}";
}

std::string statusesJson(const std::vector<int32_t>& statuses) {
  std::string items;
  for (int32_t status : statuses)
    items += std::string(items.empty() ? "" : ", ") + "{" +
             field("status", std::to_string(status)) + ", " +
             field("meaning", jsonString(simcardStatusText(status))) + "}";
  return "[" + items + "]";
}

std::string errorsJson(const std::vector<std::string>& errors) {
  std::string items;
  for (const std::string& error : errors)
    items += std::string(items.empty() ? "" : ", ") + jsonString(error);
  return "[" + items + "]";
}

// The text summary as a file gets it: every line, none cut to a width.
SummaryContext wholeLines(SummaryContext context) {
  context.width = 0;
  context.problemsOnly = false;
  return context;
}

}  // namespace

std::string summaryJson(const SummaryContext& context, const RunResult& result, int exitStatus) {
  std::string channels;
  for (size_t ch = 0; ch < result.channels.size(); ++ch)
    channels += std::string(ch == 0 ? "" : ",\n    ") +
                channelJson("Dev1/ao" + std::to_string(ch), result.channels[ch]);
  const char* separator = ",\n  ";
  return "{\n  " + field("result", jsonString(resultWord(result))) + separator +
         field("exit_status", std::to_string(exitStatus)) + separator +
         field("steps", std::to_string(result.steps)) + separator +
         field("step_s", jsonNumber(context.dt)) + separator +
         field("module", jsonString(context.modulePath)) + separator +
         field("block", jsonString(context.blockPath)) + separator +
         field("input", jsonString(context.inputDescription)) + separator +
         field("channels", "[\n    " + channels + "\n  ]") + separator +
         field("no_channel",
               "{" + field("writes", std::to_string(result.unassigned.writes)) + ", " +
                   field("refused", std::to_string(result.unassigned.refused)) + "}") +
         separator + field("statuses", statusesJson(result.statuses)) + separator +
         field("warnings", messagesJson(result.warnings)) + separator +
         field("dialogs", messagesJson(result.dialogs)) + separator +
         field("errors", errorsJson(result.errors)) + separator +
         field("tasks_open", std::to_string(result.tasksLeftOpen)) + separator +
         field("text", jsonString(summaryText(wholeLines(context), result))) + "\n}\n";
}

}  // namespace sim
