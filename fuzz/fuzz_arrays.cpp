#include "fuzz/fuzz_arrays.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "standin_host/host_arrays.h"

namespace fuzz {
namespace {

constexpr double kBorderValues[] = {0.0,
                                    -0.0,
                                    1.0,
                                    -1.0,
                                    0.5,
                                    101.0,
                                    104.0,
                                    104.7,
                                    107.0,
                                    142.0,
                                    143.0,
                                    5200229.0,
                                    2147483647.0,
                                    2147483648.0,
                                    -2147483648.0,
                                    -2147483649.0,
                                    4294967296.0 + 104.0,
                                    9223372036854775807.0,
                                    -9223372036854775808.0,
                                    1e300,
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::denorm_min()};

mxClassID anyClass(FuzzedDataProvider& data) {
  return static_cast<mxClassID>(
      data.ConsumeIntegralInRange<int>(mxUNKNOWN_CLASS, mxFUNCTION_CLASS));
}

mxClassID numericClass(FuzzedDataProvider& data) {
  return static_cast<mxClassID>(data.ConsumeIntegralInRange<int>(mxDOUBLE_CLASS, mxUINT64_CLASS));
}

void fillBytes(FuzzedDataProvider& data, void* target, size_t bytes) {
  if (target == nullptr || bytes == 0) return;
  std::vector<uint8_t> source = data.ConsumeBytes<uint8_t>(bytes);
  if (!source.empty()) std::memcpy(target, source.data(), source.size());
}

double borderOrRaw(FuzzedDataProvider& data) {
  if (data.ConsumeBool()) return data.PickValueInArray(kBorderValues);
  if (data.ConsumeBool()) return data.ConsumeIntegralInRange<int>(95, 150);
  return data.ConsumeFloatingPoint<double>();
}

size_t elementCount(const mxArray* array) {
  return mxGetM(array) * mxGetN(array);
}

// Mostly small; now and then a huge extent beside an empty one, so shapes
// whose element count overflows are tried without any data behind them.
void arbitraryShape(FuzzedDataProvider& data, size_t* m, size_t* n) {
  *m = data.ConsumeIntegralInRange<size_t>(0, 4);
  *n = data.ConsumeIntegralInRange<size_t>(0, 4);
  if (data.ConsumeIntegralInRange<int>(0, 15) != 0) return;
  const size_t huge = data.PickValueInArray(
      {size_t{1} << 31, (size_t{1} << (sizeof(size_t) * 4)) + 1, SIZE_MAX / 2, SIZE_MAX});
  if (data.ConsumeBool()) {
    *m = huge;
    *n = 0;
  } else {
    *m = 0;
    *n = huge;
  }
}

}  // namespace

mxArray* arbitraryArray(FuzzedDataProvider& data) {
  const mxClassID classId = anyClass(data);
  size_t m = 0;
  size_t n = 0;
  arbitraryShape(data, &m, &n);
  const mxComplexity complexity = data.ConsumeBool() ? mxCOMPLEX : mxREAL;
  mxArray* array = standinCreateArray(classId, m, n, complexity);
  if (array == nullptr) return nullptr;
  const size_t bytes = m * n * standinElementSize(classId);
  fillBytes(data, standinRealData(array), bytes);
  fillBytes(data, standinImagData(array), bytes);
  return array;
}

mxArray* arbitraryNumber(FuzzedDataProvider& data) {
  const mxClassID classId = data.ConsumeBool() ? mxDOUBLE_CLASS : numericClass(data);
  const double value = borderOrRaw(data);
  mxArray* array = standinCreateScalar(classId, value);
  // Doubles keep every bit; the other classes hold value as the host converts it.
  if (array != nullptr && classId == mxDOUBLE_CLASS) {
    std::memcpy(standinRealData(array), &value, sizeof value);
  }
  return array;
}

mxArray* arbitraryArgument(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
      return arbitraryArray(data);
    case 1:
      return arbitraryNumber(data);
    case 2: {
      const size_t length = data.ConsumeIntegralInRange<size_t>(0, 4);
      mxArray* text = standinCreateArray(mxCHAR_CLASS, 1, length, mxREAL);
      fillBytes(data, standinRealData(text), length * 2);
      return text;
    }
    case 3:
      return standinCreateArray(mxDOUBLE_CLASS, data.ConsumeIntegralInRange<size_t>(0, 2),
                                data.ConsumeIntegralInRange<size_t>(0, 2), mxREAL);
    default: {
      const double value = borderOrRaw(data);
      return standinCreateDoubles(1, 1, &value);
    }
  }
}

mxArray* arbitrarySparse(FuzzedDataProvider& data) {
  const mxClassID classId = data.ConsumeBool() ? mxDOUBLE_CLASS : mxLOGICAL_CLASS;
  const size_t m = data.ConsumeIntegralInRange<size_t>(0, 4);
  const size_t n = data.ConsumeIntegralInRange<size_t>(0, 4);
  const bool complex = classId == mxDOUBLE_CLASS && data.ConsumeBool();
  std::vector<double> real(m * n, 0.0);
  std::vector<double> imag(complex ? m * n : 0, 0.0);
  for (double& value : real) {
    if (data.ConsumeBool()) value = borderOrRaw(data);
  }
  for (double& value : imag) {
    if (data.ConsumeBool()) value = borderOrRaw(data);
  }
  return standinCreateSparse(classId, m, n, real.data(), complex ? imag.data() : nullptr);
}

bool readWholeElement(const mxArray* array, size_t index, long long* value) {
  if (index >= elementCount(array) || mxIsSparse(array)) return false;
  const unsigned char* bytes = static_cast<const unsigned char*>(standinRealData(array));
  if (bytes == nullptr) return false;
  const mxClassID classId = mxGetClassID(array);
  const size_t size = standinElementSize(classId);
  bytes += index * size;
  double number = 0.0;
  switch (classId) {
    case mxDOUBLE_CLASS: {
      std::memcpy(&number, bytes, 8);
      break;
    }
    case mxSINGLE_CLASS: {
      float single;
      std::memcpy(&single, bytes, 4);
      number = single;
      break;
    }
    case mxINT64_CLASS:
    case mxUINT64_CLASS: {
      int64_t whole;
      std::memcpy(&whole, bytes, 8);
      *value = whole;
      return true;
    }
    default: {
      // Narrower integers, logical and char: at most 32 bits, sign by class.
      uint32_t word = 0;
      std::memcpy(&word, bytes, size);
      const bool isSigned =
          classId == mxINT8_CLASS || classId == mxINT16_CLASS || classId == mxINT32_CLASS;
      const unsigned shift = 32u - 8u * static_cast<unsigned>(size);
      *value = isSigned ? static_cast<int32_t>(word << shift) >> shift : word;
      return size != 0;
    }
  }
  if (!(std::fabs(number) < 9.2e18) || number != std::trunc(number)) return false;
  *value = static_cast<long long>(number);
  return true;
}

void writeElement(mxArray* array, size_t index, double value) {
  const mxClassID classId = mxGetClassID(array);
  mxArray* scalar = standinCreateScalar(classId, value);
  const size_t size = standinElementSize(classId);
  unsigned char* target = static_cast<unsigned char*>(standinRealData(array)) + index * size;
  std::memcpy(target, standinRealData(scalar), size);
  mxDestroyArray(scalar);
}

}  // namespace fuzz
