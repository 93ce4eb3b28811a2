#include "standin_host/rtw_file.h"

#include <string>

#include "standin_host/rtw_value_text.h"

struct StandinRtwFile {
  std::string text;
  int depth = 0;
  int calls = 0;
  int failFrom = -1;  // no failure
  int32_t failResult = 0;
};

namespace {

StandinRtwFile* fileOf(void* writerArg) {
  return static_cast<StandinRtwFile*>(writerArg);
}

// Counts the call; false (with *result set) when the file refuses it.
bool accepts(StandinRtwFile* file, int32_t* result) {
  const int call = file->calls++;
  if (file->failFrom >= 0 && call >= file->failFrom) {
    *result = file->failResult;
    return false;
  }
  *result = 1;
  return true;
}

bool endsWith(const std::string& text, char last) {
  return !text.empty() && text.back() == last;
}

void appendLine(StandinRtwFile* file, const std::string& line) {
  if (line == "}" && file->depth > 0) --file->depth;
  file->text.append(2 * static_cast<size_t>(file->depth), ' ');
  file->text += line;
  file->text += '\n';
  if (endsWith(line, '{')) ++file->depth;
}

void appendPair(StandinRtwFile* file, const char* name, const std::string& valueText) {
  appendLine(file, std::string(name != nullptr ? name : "<null>") + "  " + valueText);
}

int32_t HOST_CALL writeLine(void* writerArg, const char* text) {
  StandinRtwFile* file = fileOf(writerArg);
  int32_t result;
  if (accepts(file, &result)) appendLine(file, text != nullptr ? text : "<null>");
  return result;
}

int32_t HOST_CALL writeNameValue(void* writerArg, int32_t type, const char* name, const void* value,
                                 int32_t dataType, int32_t nRows, int32_t nCols) {
  StandinRtwFile* file = fileOf(writerArg);
  int32_t result;
  if (accepts(file, &result)) {
    appendPair(file, name, standinRtwValueText({type, value, dataType, nRows, nCols}));
  }
  return result;
}

std::string dimensionsText(int32_t nRows, int32_t nCols) {
  return "[" + std::to_string(nRows) + ", " + std::to_string(nCols) + "]";
}

// paramInfo is the host's own; the stand-in does not read it.
int32_t HOST_CALL writeParam(void* writerArg, int32_t type, const char* name,
                             const void* /*paramInfo*/, const void* data, int32_t dataType,
                             int32_t nRows, int32_t nCols) {
  StandinRtwFile* file = fileOf(writerArg);
  int32_t result;
  if (!accepts(file, &result)) return result;
  appendLine(file, "Parameter {");
  appendPair(file, "Name", standinRtwQuoted(name));
  appendPair(file, "Dimensions", dimensionsText(nRows, nCols));
  appendPair(file, "DataTypeId", std::to_string(dataType));
  appendPair(file, "Value", standinRtwValueText({type, data, dataType, nRows, nCols}));
  appendLine(file, "}");
  return result;
}

}  // namespace

StandinRtwFile* standinNewRtwFile(void) {
  return new StandinRtwFile();
}

void standinFreeRtwFile(StandinRtwFile* file) {
  delete file;
}

void standinAttachRtwFile(SFcnRecord* record, StandinRtwFile* file) {
  HostInfo* host = record->hostInfo;
  host->writeRtwStrFcn = writeLine;
  host->writeRtwNameValueFcn = writeNameValue;
  host->writeRtwParamFcn = writeParam;
  host->writeRtwFcnArg = file;
}

const char* standinRtwFileText(const StandinRtwFile* file) {
  return file->text.c_str();
}

int standinRtwFileCallCount(const StandinRtwFile* file) {
  return file->calls;
}

void standinRtwFileFailFrom(StandinRtwFile* file, int callIndex, int32_t result) {
  file->failFrom = callIndex;
  file->failResult = result;
}
