#include "gateway/sizes_vector.h"

#include <cstdint>
#include <cstring>

namespace {

static_assert(sizeof(SFcnSizes) == SFCN_SIZES_COUNT * sizeof(uint32_t),
              "the sizes block is 38 plain 32-bit words");

// Host words that the vector carries as unsigned; every other row is signed.
bool unsignedRow(int row) {
  return (row >= 15 && row <= 18) || row == 23;
}

double rowValue(const uint32_t (&words)[SFCN_SIZES_COUNT], int row) {
  if (unsignedRow(row)) return words[row];
  int32_t value;
  std::memcpy(&value, &words[row], sizeof value);
  return value;
}

}  // namespace

extern "C" mxArray* makeSizesVector(SFcnRecord* record) {
  mxArray* vector = mxCreateDoubleMatrix(SFCN_SIZES_COUNT, 1, mxREAL);
  if (vector == nullptr) return nullptr;
  double* rows = mxGetPr(vector);

  // The set-up bit stays in the record, where the host sees it, and shows in row 23.
  record->sizesBlock.sizesFlags |= SFCN_SIZES_FLAG_SETUP_DONE;
  uint32_t words[SFCN_SIZES_COUNT];
  std::memcpy(words, &record->sizesBlock, sizeof words);
  for (int row = 0; row < SFCN_SIZES_COUNT; ++row) rows[row] = rowValue(words, row);
  return vector;
}
