// How the module builds its messages and hands them on: raised through the
// host, left in the error slot, shown in a fatal-error dialog, or warned.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "gateway/gateway.h"
#include "host/mex_api.h"

namespace twinvolts {

namespace {

int formatIntoV(char* buffer, size_t size, const char* format, va_list arguments) {
  return std::vsnprintf(buffer, size, format, arguments);
}

}  // namespace

int formatInto(char* buffer, size_t size, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int length = formatIntoV(buffer, size, format, arguments);
  va_end(arguments);
  return length;
}

char* newMessage(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  const int length = formatIntoV(nullptr, 0, format, arguments);
  va_end(arguments);
  char* text = nullptr;
  if (length >= 0) text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
  if (text != nullptr) formatIntoV(text, static_cast<size_t>(length) + 1, format, again);
  va_end(again);
  return text;
}

void raiseError(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  formatIntoV(text, sizeof text, format, arguments);
  va_end(arguments);
  mexErrMsgTxt(text);
}

void reportFatalError(SFcnRecord* record, const char* message) {
  if (record->hostInfo != nullptr) record->hostInfo->fatalErrorFlag = 1;
  showFatalError(record, message);
}

void warn(const char* message) {
  mexWarnMsgTxt(message);
}

// The three strings are host temporaries; the host reclaims them when the
// current call ends.
extern "C" void showFatalError(SFcnRecord* /*record*/, const char* message) {
  mxArray* inputs[3] = {mxCreateString(message), mxCreateString("Fatal Error"),
                        mxCreateString("modal")};
  mexCallMATLAB(0, nullptr, 3, inputs, "errordlg");
}

}  // namespace twinvolts
