// Word-by-word views of a host-owned record, for checking that the module
// wrote exactly the words it may write.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "gateway/sfcn_record.h"

namespace record_words {

// A field of a record: its bytes and its name for messages.
struct FieldSpan {
  size_t offset;
  size_t size;
  const char* name;
};

#define RECORD_FIELD(Type, member)                                               \
  ::record_words::FieldSpan {                                                    \
    offsetof(Type, member), sizeof(static_cast<Type*>(nullptr)->member), #member \
  }

// The bytes of an object at one moment.
template <typename T>
std::vector<unsigned char> snapshot(const T& object) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&object);
  return std::vector<unsigned char>(bytes, bytes + sizeof(T));
}

// The 32-bit words of `after` that differ from `before` and lie outside every
// allowed field, each as "word N" (N counts 32-bit words from the start).
std::vector<std::string> wordsChangedOutside(const std::vector<unsigned char>& before,
                                             const void* after,
                                             const std::vector<FieldSpan>& allowed);

// Words a direct set-up may write: the six slots, the sizes the block
// declares, the version stamp, the set-up flag, and the port arrays that the
// host's own hooks hand out.
std::vector<FieldSpan> directSetUpWrites();

// Fills every host-owned word of the record, its HostInfo and its
// PropagationMethods, and the sizes entries the block declares, with
// recognisable values that differ from word to word, so that any write the
// module makes there shows. Hooks, slots, pointers and the host's call
// arguments are left as they are.
void markHostWords(SFcnRecord* record);

// The value markHostWords gives the 32-bit word at byte offset `offset`.
uint32_t markOf(size_t offset);

}  // namespace record_words
