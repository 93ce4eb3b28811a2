#include "tests/support/expected_messages.h"

#include <vector>

namespace expected {

const char* const kTooFewRightHand =
    "MEX level2 S-function \"twinvolts\" must be called with at least 4 right hand arguments";
const char* const kTooManyLeftHand =
    "MEX level2 S-function \"twinvolts\" called with too many left hand arguments";
const char* const kFlagNotInteger =
    "The 4th right hand argument, FLAG, passed to MEX level2 S-function \"twinvolts\" must be an "
    "integer";
const char* const kInvalidSetupFlag = "Invalid flag passed to MEX level2 S-function \"twinvolts\"";
const char* const kNullRecord =
    "The 2nd right hand argument passed to MEX level2 S-function \"twinvolts\" holds a null "
    "S-function record address";

std::string nameMismatch(const std::string& hostName) {
  return "S-function name mismatch. Name in source is \"#define S_FUNCTION_NAME twinvolts\", "
         "whereas name of the S-function MEX file is \"" +
         hostName + "\". The source needs to be updated";
}

const char* const kInvalidFlag = "Invalid flag encountered in simulink";
const char* const kVarHit =
    "To have a variable sample time, you must define MDL_GET_TIME_OF_NEXT_VAR_HIT and add a "
    "mdlGetTimeOfNextVarHit routine";
const char* const kZeroCrossings =
    "To have nonsampled zero crossings, you must define MDL_ZERO_CROSSINGS and have a "
    "mdlZeroCrossings routine";

const char* const kFatalTitle = "Fatal Error";
const char* const kFatalMode = "modal";

namespace {

// How each dialog begins: the S-function and the block it is in.
std::string sfunctionInBlock(const std::string& name, const std::string& path) {
  return "S-function '" + name + "' in block '" + path + "'";
}

}  // namespace

std::string portOutOfRange(const std::string& name, const std::string& path,
                           const std::string& shownPort, const std::string& count,
                           const std::string& last) {
  return sfunctionInBlock(name, path) + " is attempting to access the signal from input port '" +
         shownPort +
         "' in one its methods. However, the S-function's mdlInitializeSizes routine has "
         "configured the block to have only " +
         count +
         " input port(s). The incorrect access will cause a segmentation violation. Please verify "
         "that all calls to ssGetInputPort[Real]Signal[Ptrs]() are using port indices in the "
         "range [0.." +
         last + "].\n";
}

std::string portUnconnected(const std::string& name, const std::string& path,
                            const std::string& shownPort) {
  return sfunctionInBlock(name, path) + " is attempting to access the signal from input port '" +
         shownPort +
         "' in one its methods. However, the S-function's mdlInitializeSizes routine did not "
         "register the ssSetInputPortDirectFeedThrough macro or the direct feedthrough flag has "
         "been set to zero. This will cause a segmentation violation. Please verify that the "
         "ssSetInputPortDirectFeedThrough is declared in mdlInitializeSizes and the direct "
         "feedthrough flag is set to one when accessing the input port signals in the mdlOutputs "
         "and/or mdlGetTimeOfNextVarHit method(s).";
}

std::string feedThroughOutOfRange(const std::string& name, const std::string& path,
                                  const std::string& shownPort, const std::string& count,
                                  const std::string& last) {
  return sfunctionInBlock(name, path) +
         " is setting or clearing the direct feedthrough flag for port " + shownPort +
         ". However, the S-function's mdlInitializeSizes routine has configured the block to have "
         "only " +
         count +
         " input port(s). Setting of clearing the direct feedthrough flag for an invalid port "
         "index will cause a segmentation violation. Please verify that all calls to "
         "ssSetInputPortDirectFeedThrough are using port indices in the range [0.." +
         last + "].\n";
}

namespace {

// The fixed pieces of a text between its quoted names and numbers.
std::vector<std::string> fixedPieces(const std::string& pattern, char hole) {
  std::vector<std::string> pieces(1);
  for (char c : pattern) {
    if (c == hole) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

// The text starts with the first piece, ends with the last, and holds the
// others in order between them.
bool fitsPieces(const std::string& text, const std::vector<std::string>& pieces) {
  const std::string& last = pieces.back();
  if (text.rfind(pieces.front(), 0) != 0 || text.size() < pieces.front().size() + last.size() ||
      text.compare(text.size() - last.size(), last.size(), last) != 0) {
    return false;
  }
  size_t at = pieces.front().size();
  for (size_t i = 1; i + 1 < pieces.size(); ++i) {
    at = text.find(pieces[i], at);
    if (at == std::string::npos) return false;
    at += pieces[i].size();
  }
  return at <= text.size() - last.size();
}

}  // namespace

bool isPortDialog(const std::string& text) {
  const std::string h(1, '\x01');
  for (const std::string& pattern : {portOutOfRange(h, h, h, h, h), portUnconnected(h, h, h),
                                     feedThroughOutOfRange(h, h, h, h, h)}) {
    if (fitsPieces(text, fixedPieces(pattern, '\x01'))) return true;
  }
  return false;
}

}  // namespace expected
