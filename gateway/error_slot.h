// The error slot: where method calls and record writers leave a message for
// the host, which reads it after the call. Internal to the module.
#pragma once

#include "gateway/sfcn_record.h"

// Points the root record's errorMessage at message, a text of the module that
// outlives the call. A record without a root keeps its own message rather
// than writing through a null pointer. Nothing in the module clears it.
inline void postErrorMessage(SFcnRecord* record, const char* message) {
  SFcnRecord* root = record->rootRecord != nullptr ? record->rootRecord : record;
  root->errorMessage = message;
}
