#include "tests/support/record_words.h"

#include <cstdint>
#include <cstring>

namespace record_words {

namespace {

bool inside(size_t offset, const std::vector<FieldSpan>& allowed) {
  for (const FieldSpan& field : allowed) {
    if (offset >= field.offset && offset < field.offset + field.size) return true;
  }
  return false;
}

void markSpan(void* object, const FieldSpan& field) {
  auto* bytes = static_cast<unsigned char*>(object);
  for (size_t offset = field.offset; offset + 4 <= field.offset + field.size; offset += 4) {
    const uint32_t value = markOf(offset);
    std::memcpy(bytes + offset, &value, sizeof value);
  }
}

}  // namespace

uint32_t markOf(size_t offset) {
  // Bits 0 and 1 and 0x2000 stay clear, so flag words read as "nothing set".
  return 0x5A5A0000u | static_cast<uint32_t>((offset / 4) << 2 & 0x1FFCu);
}

std::vector<std::string> wordsChangedOutside(const std::vector<unsigned char>& before,
                                             const void* after,
                                             const std::vector<FieldSpan>& allowed) {
  std::vector<std::string> changed;
  const auto* now = static_cast<const unsigned char*>(after);
  for (size_t offset = 0; offset + 4 <= before.size(); offset += 4) {
    if (std::memcmp(&before[offset], now + offset, 4) == 0) continue;
    if (!inside(offset, allowed)) changed.push_back("word " + std::to_string(offset / 4));
  }
  return changed;
}

std::vector<FieldSpan> directSetUpWrites() {
  return {
      RECORD_FIELD(SFcnRecord, mdlInitializeSizes),
      RECORD_FIELD(SFcnRecord, mdlSampleTimes),
      RECORD_FIELD(SFcnRecord, mdlGetTimeOfNextVarHit),
      RECORD_FIELD(SFcnRecord, mdlOutputs),
      RECORD_FIELD(SFcnRecord, mdlZeroCrossings),
      RECORD_FIELD(SFcnRecord, mdlTerminate),
      RECORD_FIELD(SFcnRecord, sizesBlock.outputPortCount),
      RECORD_FIELD(SFcnRecord, sizesBlock.inputPortCount),
      RECORD_FIELD(SFcnRecord, sizesBlock.sampleTimeCount),
      RECORD_FIELD(SFcnRecord, sizesBlock.expectedParamCount),
      RECORD_FIELD(SFcnRecord, sizesBlock.versionStamp),
      RECORD_FIELD(SFcnRecord, sizesBlock.sizesFlags),
      RECORD_FIELD(SFcnRecord, inputPorts),
      RECORD_FIELD(SFcnRecord, outputPorts),
  };
}

void markHostWords(SFcnRecord* record) {
  const FieldSpan recordWords[] = {
      RECORD_FIELD(SFcnRecord, reserved2),   RECORD_FIELD(SFcnRecord, reserved51),
      RECORD_FIELD(SFcnRecord, reserved67),  RECORD_FIELD(SFcnRecord, reserved84),
      RECORD_FIELD(SFcnRecord, reserved100), RECORD_FIELD(SFcnRecord, reserved105),
      RECORD_FIELD(SFcnRecord, reserved115), RECORD_FIELD(SFcnRecord, reserved119),
      RECORD_FIELD(SFcnRecord, reserved122), RECORD_FIELD(SFcnRecord, reserved128),
      RECORD_FIELD(SFcnRecord, sizesBlock),
  };
  for (const FieldSpan& field : recordWords) markSpan(record, field);

  const FieldSpan hostInfoWords[] = {
      RECORD_FIELD(HostInfo, standaloneMark), RECORD_FIELD(HostInfo, reserved1),
      RECORD_FIELD(HostInfo, reserved15),     RECORD_FIELD(HostInfo, reserved51),
      RECORD_FIELD(HostInfo, reserved62),     RECORD_FIELD(HostInfo, reserved65),
      RECORD_FIELD(HostInfo, reserved71),     RECORD_FIELD(HostInfo, reserved81),
      RECORD_FIELD(HostInfo, reserved96),
  };
  for (const FieldSpan& field : hostInfoWords) markSpan(record->hostInfo, field);

  const FieldSpan propagationWords[] = {
      RECORD_FIELD(PropagationMethods, reserved0),
      RECORD_FIELD(PropagationMethods, reserved3),
      RECORD_FIELD(PropagationMethods, reserved7),
  };
  for (const FieldSpan& field : propagationWords) markSpan(record->propagationMethods, field);
}

}  // namespace record_words
