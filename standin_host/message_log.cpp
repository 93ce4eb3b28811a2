#include "standin_host/message_log.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/mex_api.h"
#include "standin_host/breach_log.h"
#include "standin_host/host_arrays.h"
#include "standin_host/host_calls.h"
#include "standin_host/host_memory.h"

namespace {

struct DialogTexts {
  std::string message;
  std::string title;
  std::string mode;
};

// Deques keep every text where it is, so handed-out pointers stay valid.
// Plain objects rather than functions' statics: a host looks at their sizes
// after every call.
std::deque<std::string> warningLog;
std::deque<DialogTexts> dialogLog;
size_t messagesLogged = 0;

std::deque<std::string>& warnings() {
  return warningLog;
}

std::deque<DialogTexts>& dialogs() {
  return dialogLog;
}

int refuseCall(const std::string& text) {
  standinRecordBreach(text.c_str());
  return 1;
}

// The text of a string argument, or null when the argument is something else.
const char* textArgument(mxArray* argument) {
  return standinIsHostArray(argument) ? standinStringText(argument) : nullptr;
}

int showErrorDialog(int nlhs, int nrhs, mxArray* prhs[]) {
  if (nlhs != 0 || nrhs != 3 || prhs == nullptr) {
    return refuseCall("mexCallMATLAB called errordlg with " + std::to_string(nlhs) +
                      " outputs and " + std::to_string(nrhs) +
                      " inputs; it takes no outputs and 3 texts (message, title, mode)");
  }
  const char* texts[3];
  for (int i = 0; i < 3; ++i) {
    texts[i] = textArgument(prhs[i]);
    if (texts[i] == nullptr) {
      return refuseCall("mexCallMATLAB called errordlg with input " + std::to_string(i + 1) +
                        " not a string made by mxCreateString");
    }
  }
  dialogs().push_back(DialogTexts{texts[0], texts[1], texts[2]});
  ++messagesLogged;
  if (standinEchoOn()) std::fprintf(stderr, "%s (%s dialog): %s\n", texts[1], texts[2], texts[0]);
  return 0;
}

// full(): the one function a module calls for an array back.
int makeFullArray(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[]) {
  if (nlhs != 1 || plhs == nullptr || nrhs != 1 || prhs == nullptr ||
      !standinIsHostArray(prhs[0])) {
    return refuseCall("mexCallMATLAB called full with " + std::to_string(nlhs) + " outputs and " +
                      std::to_string(nrhs) + " inputs; it takes one array and gives one");
  }
  plhs[0] = standinFullArray(prhs[0]);
  return plhs[0] != nullptr ? 0 : 1;
}

}  // namespace

void standinForgetMessages(void) {
  warnings().clear();
  dialogs().clear();
  messagesLogged = 0;
}

void HOST_CALL mexWarnMsgTxt(const char* text) {
  warnings().emplace_back(text != nullptr ? text : "");
  ++messagesLogged;
  if (standinEchoOn()) std::fprintf(stderr, "Warning: %s\n", warnings().back().c_str());
}

int HOST_CALL mexCallMATLAB(int nlhs, mxArray* plhs[], int nrhs, mxArray* prhs[],
                            const char* functionName) {
  if (functionName == nullptr) return refuseCall("mexCallMATLAB called without a function name");
  if (std::strcmp(functionName, "errordlg") == 0) return showErrorDialog(nlhs, nrhs, prhs);
  if (std::strcmp(functionName, "full") == 0) return makeFullArray(nlhs, plhs, nrhs, prhs);
  return refuseCall(std::string("mexCallMATLAB called with unknown function '") + functionName +
                    "'");
}

size_t standinMessageCount(void) {
  return messagesLogged;
}

size_t standinWarningCount(void) {
  return warnings().size();
}

const char* standinWarning(size_t index) {
  return index < warnings().size() ? warnings()[index].c_str() : nullptr;
}

size_t standinDialogCount(void) {
  return dialogs().size();
}

StandinDialog standinDialog(size_t index) {
  if (index >= dialogs().size()) return StandinDialog{nullptr, nullptr, nullptr};
  const DialogTexts& dialog = dialogs()[index];
  return StandinDialog{dialog.message.c_str(), dialog.title.c_str(), dialog.mode.c_str()};
}
