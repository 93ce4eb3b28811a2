// What a call may end in. Anything else that the module says is a finding.
#pragma once

#include <string>

namespace fuzz {

// Texts a set-up call may end in through mexErrMsgTxt; the name-mismatch
// message is matched against the names of the given host records.
bool isSetupMessage(const std::string& text, const char* const* recordNames, int recordCount);

// The two argument-count messages, which come first in this order.
const char* tooFewRightHandMessage();
const char* tooManyLeftHandMessage();

// Texts a method call may leave in the root record's error slot.
bool isErrorSlotMessage(const char* text);

// Texts of the port accessors' fatal-error dialogs.
bool isPortDialogMessage(const std::string& text);

}  // namespace fuzz
