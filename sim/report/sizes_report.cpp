#include "sim/report/sizes_report.h"

#include <cstdio>

#include "gateway/sfcn_record.h"
#include "sim/report/wrapped_text.h"
#include "sim/system/quoted_text.h"
#include "standin_host/host_arrays.h"
#include "standin_host/message_log.h"

namespace sim {
namespace {

// Names of the sizes entries; unnamed rows belong to the host.
const char* rowName(int row) {
  switch (row) {
    case 2:
      return "outputPortCount";
    case 3:
      return "inputPortCount";
    case 4:
      return "callArgInt";
    case 6:
      return "sampleTimeCount";
    case 7:
      return "expectedParamCount";
    case 8:
      return "iworkLength";
    case 9:
      return "rworkLength";
    case 10:
      return "pworkLength";
    case 15:
    case 16:
    case 17:
    case 18:
      return "(host, unsigned)";
    case 19:
      return "versionStamp";
    case 23:
      return "sizesFlags";
    case 31:
      return "portFlags";
    default:
      return "(host)";
  }
}

}  // namespace

bool sizesText(MexFunctionPtr entry, std::string& out, std::string& error) {
  mxArray* empty = standinCreateArray(mxDOUBLE_CLASS, 0, 0, mxREAL);
  mxArray* flag = standinCreateScalar(mxDOUBLE_CLASS, 0.0);
  mxArray* plhs[1] = {nullptr};
  const mxArray* prhs[4] = {empty, empty, empty, flag};
  bool ok = standinCallMexFunction(entry, 1, plhs, 4, prhs);
  if (!ok) error = standinLastError();
  if (ok && (plhs[0] == nullptr || mxGetM(plhs[0]) != SFCN_SIZES_COUNT)) {
    error = "set-up call returned no 38-row sizes vector";
    ok = false;
  }
  if (ok) {
    const double* rows = mxGetPr(plhs[0]);
    for (int row = 0; row < SFCN_SIZES_COUNT; ++row) {
      char line[80];
      std::snprintf(line, sizeof line, "%2d  %-20s %.0f\n", row, rowName(row), rows[row]);
      out += line;
    }
  }
  for (mxArray* array : {plhs[0], empty, flag})
    if (array != nullptr) mxDestroyArray(array);
  return ok;
}

std::string setUpMessagesText(int width) {
  std::string text;
  for (size_t i = 0; i < standinWarningCount(); ++i)
    text += wrappedText("twinvolts-sim: set-up warning: " + escapedText(standinWarning(i)), width,
                        0, 4) +
            "\n";
  for (size_t i = 0; i < standinDialogCount(); ++i) {
    StandinDialog dialog = standinDialog(i);
    text += "twinvolts-sim: set-up dialog: " +
            escapedText(std::string(dialog.title) + ": " + dialog.message) + "\n";
  }
  standinForgetMessages();
  return text;
}

}  // namespace sim
