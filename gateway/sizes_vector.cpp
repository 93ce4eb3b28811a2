#include "gateway/sizes_vector.h"

#include <cstdint>
#include <cstring>

namespace {

static_assert(sizeof(SFcnSizes) == SFCN_SIZES_COUNT * sizeof(uint32_t),
              "the sizes block is 38 plain 32-bit words");

constexpr int kUnsignedRows[] = {15, 16, 17, 18, 23};

void readEntries(const SFcnSizes& sizes, uint32_t (&words)[SFCN_SIZES_COUNT]) {
  std::memcpy(words, &sizes, sizeof words);
}

double asSigned(uint32_t word) {
  int32_t value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

}  // namespace

extern "C" mxArray* makeSizesVector(SFcnRecord* record) {
  mxArray* vector = mxCreateDoubleMatrix(SFCN_SIZES_COUNT, 1, mxREAL);
  if (vector == nullptr) return nullptr;
  double* rows = mxGetPr(vector);

  uint32_t words[SFCN_SIZES_COUNT];
  readEntries(record->sizesBlock, words);
  for (int k = 0; k < SFCN_SIZES_COUNT; ++k) rows[k] = asSigned(words[k]);

  record->sizesBlock.sizesFlags |= SFCN_SIZES_FLAG_SETUP_DONE;
  readEntries(record->sizesBlock, words);
  for (int k : kUnsignedRows) rows[k] = words[k];
  return vector;
}
