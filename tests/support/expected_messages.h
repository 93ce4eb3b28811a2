// What the module tells the host, written out as the host shows it: the texts
// a set-up call ends in, those a method call leaves in the root record's error
// slot, and the port accessors' fatal-error dialogs. The optional slots' texts
// stand beside their flags in the slot table.
#pragma once

#include <string>

namespace expected {

// A set-up call's argument checks (mexErrMsgTxt).
extern const char* const kTooFewRightHand;
extern const char* const kTooManyLeftHand;
extern const char* const kFlagNotInteger;
extern const char* const kInvalidSetupFlag;
extern const char* const kNullRecord;
// The direct-mode name check, whole; the module shows at most 255 characters.
std::string nameMismatch(const std::string& hostName);

// A method call's error slot.
extern const char* const kInvalidFlag;
extern const char* const kVarHit;
extern const char* const kZeroCrossings;

// The port accessors' dialogs: their title and mode, and the three texts with
// the port as shown (counted from 1), the port count and the last valid index.
extern const char* const kFatalTitle;
extern const char* const kFatalMode;
std::string portOutOfRange(const std::string& name, const std::string& path,
                           const std::string& shownPort, const std::string& count,
                           const std::string& last);
std::string portUnconnected(const std::string& name, const std::string& path,
                            const std::string& shownPort);
std::string feedThroughOutOfRange(const std::string& name, const std::string& path,
                                  const std::string& shownPort, const std::string& count,
                                  const std::string& last);
// Whether text is one of the three dialog texts, whatever names and numbers it quotes.
bool isPortDialog(const std::string& text);

}  // namespace expected
