/* Stand-in host: the code-generation record file, kept in memory as
 * readable text, and the three writer hooks that append to it. */
#pragma once

#include <stdint.h>

#include "gateway/sfcn_record.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct StandinRtwFile StandinRtwFile;

/* An empty file. */
StandinRtwFile* standinNewRtwFile(void);
void standinFreeRtwFile(StandinRtwFile* file);

/* Installs the file's line, name/value and parameter hooks, with the file as
 * writeRtwFcnArg, in the record's HostInfo (which must exist). */
void standinAttachRtwFile(SFcnRecord* record, StandinRtwFile* file);

/* Everything written so far, one entry a line. A line ending in "{" opens a
 * block whose entries are indented by two blanks; a line "}" closes it.
 * Name/value pairs read `Name  value`; a parameter is written as a
 * "Parameter {" block of its name, dimensions, data type and value. The
 * text stays valid until the next write or until the file is freed. */
const char* standinRtwFileText(const StandinRtwFile* file);

/* Number of hook calls so far, failed ones included. */
int standinRtwFileCallCount(const StandinRtwFile* file);

/* Makes every hook call from the callIndex-th on (0-based, counted over all
 * three hooks) write nothing and return result, as a host whose file
 * cannot take more does. */
void standinRtwFileFailFrom(StandinRtwFile* file, int callIndex, int32_t result);

#ifdef __cplusplus
}
#endif
