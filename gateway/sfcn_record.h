/* The per-block record shared with the host word by word.
 *
 * The host owns the record in direct mode and reads and writes it directly,
 * so its layout is an interface. On 32-bit targets every field is a 32-bit
 * word at the index given beside it, and every offset is asserted below.
 * Words the module does not name belong to the host: they are reserved
 * filler that the module never touches (zero in a record the gateway makes).
 *
 * On 64-bit targets address fields (pointers, hooks, method slots) and
 * reserved words widen to 64 bits, integers stay 32-bit, and the order of
 * the fields is kept. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "host/calling_convention.h"
#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A host-owned word, address-sized because the host may keep an address in it. */
typedef uintptr_t SFcnHostWord;
/* A call argument that is a number or an address, passed on unchanged. */
typedef intptr_t SFcnArgWord;

typedef struct SFcnRecord SFcnRecord;

/* Four words handed to the host's dimension hooks. */
typedef struct DimsDescriptor {
  int32_t elementCount;  /* 0: total elements; -1 means not fixed */
  int32_t dimCount;      /* 1: number of dimensions; -1 means not fixed */
  int32_t* dimValues;    /* 2: dimCount entries, rows first */
  SFcnHostWord reserved; /* 3: always 0 from this module */
} DimsDescriptor;

/* Method slots. The host calls them directly in direct mode. */
typedef void(HOST_CALL* SFcnMethod)(SFcnRecord* record);
typedef void(HOST_CALL* SFcnOutputsMethod)(SFcnRecord* record, int32_t taskId);
typedef void(HOST_CALL* SFcnPortArgMethod)(SFcnRecord* record, int32_t port, SFcnArgWord argument);
typedef void(HOST_CALL* SFcnIntArgMethod)(SFcnRecord* record, int32_t argument);
typedef void(HOST_CALL* SFcnPortTimeMethod)(SFcnRecord* record, int32_t port, double period,
                                            double offset);

/* Host hooks. */
typedef int(HOST_CALL* SFcnSetPortCountFcn)(void* context, int32_t count);
typedef int32_t(HOST_CALL* SFcnSetPortDimsFcn)(SFcnRecord* record, int32_t port,
                                               DimsDescriptor* dims);
typedef int32_t(HOST_CALL* SFcnHostServiceFcn)(SFcnRecord* record, int32_t service,
                                               int32_t argument, void* result);
typedef int32_t(HOST_CALL* SFcnWriteRtwStrFcn)(void* writerArg, const char* text);
typedef int32_t(HOST_CALL* SFcnWriteRtwNameValueFcn)(void* writerArg, int32_t type,
                                                     const char* name, const void* value,
                                                     int32_t dataType, int32_t nRows,
                                                     int32_t nCols);
typedef int32_t(HOST_CALL* SFcnWriteRtwParamFcn)(void* writerArg, int32_t type, const char* name,
                                                 const void* paramInfo, const void* data,
                                                 int32_t dataType, int32_t nRows, int32_t nCols);

/* Stamp that marks a host record in the attach argument and in versionStamp. */
#define SFCN_VERSION_STAMP 5200229

/* portFlags bits */
#define SFCN_PORT_FLAG_DIMENSION_INFO 0x1u /* ports negotiated by dimension info, not width */
#define SFCN_PORT_FLAG_COUNT_DECLARED 0x2u /* a created record's hook declared a port count */
/* sizesFlags bit set by every set-up call */
#define SFCN_SIZES_FLAG_SETUP_DONE 0x2000u

/* 38 signed 32-bit entries; returned to the host as the 38-by-1 sizes vector. */
typedef struct SFcnSizes {
  int32_t reserved0[2];       /* 0-1 */
  int32_t outputPortCount;    /* 2 */
  int32_t inputPortCount;     /* 3: bound of the port accessors */
  int32_t callArgInt;         /* 4: host-written before a flag call: port index or task id */
  int32_t reserved5;          /* 5 */
  int32_t sampleTimeCount;    /* 6 */
  int32_t expectedParamCount; /* 7 */
  int32_t iworkLength;        /* 8 */
  int32_t rworkLength;        /* 9 */
  int32_t pworkLength;        /* 10 */
  int32_t reserved11[4];      /* 11-14 */
  uint32_t hostUnsigned[4];   /* 15-18: host words the sizes vector carries as unsigned */
  int32_t versionStamp;       /* 19: SFCN_VERSION_STAMP, set by every set-up call */
  int32_t reserved20[3];      /* 20-22 */
  uint32_t sizesFlags;        /* 23: carried as unsigned */
  int32_t reserved24[7];      /* 24-30 */
  uint32_t portFlags;         /* 31: SFCN_PORT_FLAG_* */
  int32_t reserved32[6];      /* 32-37 */
} SFcnSizes;

#define SFCN_SIZES_COUNT 38

/* One per input port, 16 words. */
typedef struct InputPortInfo {
  int32_t width;             /* 0 */
  int32_t directFeedThrough; /* 1: non-zero when outputs reads this input */
  SFcnHostWord reserved2[2]; /* 2-3 */
  const void* signal;        /* 4: host-provided; null until connected */
  SFcnHostWord reserved5;    /* 5 */
  uint32_t attributes;       /* 6: bit 0x20; obsolete reuse bits 0x2, 0x4 */
  SFcnHostWord reserved7[9]; /* 7-15 */
} InputPortInfo;

/* One per output port, 14 words. */
typedef struct OutputPortInfo {
  SFcnHostWord reserved0[5]; /* 0-4 */
  uint32_t attributes;       /* 5: obsolete reuse bits 0x1, 0x2 */
  SFcnHostWord reserved6[8]; /* 6-13 */
} OutputPortInfo;

/* The host's hooks and call arguments, 100 words. */
typedef struct HostInfo {
  int32_t standaloneMark;                        /* 0: 1 in a record the gateway made */
  SFcnHostWord reserved1[13];                    /* 1-13 */
  int32_t fatalErrorFlag;                        /* 14: set before a fatal-error dialog */
  SFcnHostWord reserved15[35];                   /* 15-49 */
  void* callArgDims;                             /* 50: argument of dimension-info methods */
  SFcnHostWord reserved51[7];                    /* 51-57 */
  SFcnWriteRtwStrFcn writeRtwStrFcn;             /* 58 */
  SFcnWriteRtwNameValueFcn writeRtwNameValueFcn; /* 59 */
  SFcnWriteRtwParamFcn writeRtwParamFcn;         /* 60 */
  void* writeRtwFcnArg;                          /* 61: first argument of the writer hooks */
  SFcnHostWord reserved62[2];                    /* 62-63 */
  SFcnHostServiceFcn hostServiceFcn;             /* 64 */
  SFcnHostWord reserved65[5];                    /* 65-69 */
  SFcnArgWord callArgValue;                      /* 70: width, data type, complexity, frame */
  SFcnHostWord reserved71[8];                    /* 71-78 */
  SFcnSetPortDimsFcn setInputPortDimsFcn;        /* 79 */
  SFcnSetPortDimsFcn setOutputPortDimsFcn;       /* 80 */
  SFcnHostWord reserved81[11];                   /* 81-91 */
  double callArgSampleTime;                      /* 92-93: period for port sample-time methods */
  double callArgOffsetTime;                      /* 94-95: offset for port sample-time methods */
  SFcnHostWord reserved96[4];                    /* 96-99 */
} HostInfo;

/* Optional port-propagation methods; the host may leave any of them null. */
typedef struct PropagationMethods {
  SFcnHostWord reserved0[2];                     /* 0-1 */
  SFcnPortArgMethod mdlSetInputPortFrameData;    /* 2 */
  SFcnHostWord reserved3;                        /* 3 */
  SFcnMethod mdlSetDefaultPortDimensionInfo;     /* 4 */
  SFcnMethod mdlSetDefaultPortDataTypes;         /* 5 */
  SFcnMethod mdlSetDefaultPortComplexSignals;    /* 6 */
  SFcnHostWord reserved7[12];                    /* 7-18 */
  SFcnIntArgMethod mdlInitializePropagationPass; /* 19: called with callArgInt */
} PropagationMethods;

/* The per-block record, 130 words. */
struct SFcnRecord {
  const char* sfcnName;                     /* 0: compared with the module's name at set-up */
  const char* blockPath;                    /* 1 */
  SFcnHostWord reserved2;                   /* 2 */
  SFcnRecord* rootRecord;                   /* 3: receives this block's errors */
  const char* errorMessage;                 /* 4: read by the host after each call */
  SFcnSizes sizesBlock;                     /* 5-42 */
  SFcnSetPortCountFcn setNumInputPortsFcn;  /* 43 */
  void* setNumInputPortsContext;            /* 44 */
  SFcnSetPortCountFcn setNumOutputPortsFcn; /* 45 */
  void* setNumOutputPortsContext;           /* 46 */
  InputPortInfo* inputPorts;                /* 47 */
  OutputPortInfo* outputPorts;              /* 48 */
  int32_t suppliedParamCount;               /* 49 */
  const mxArray** paramArrays;              /* 50 */
  SFcnHostWord reserved51[15];              /* 51-65 */
  PropagationMethods* propagationMethods;   /* 66 */
  SFcnHostWord reserved67[16];              /* 67-82 */
  HostInfo* hostInfo;                       /* 83 */
  SFcnHostWord reserved84[14];              /* 84-97 */
  double* samplePeriods;                    /* 98 */
  double* sampleOffsets;                    /* 99 */
  SFcnHostWord reserved100[4];              /* 100-103 */
  /* Method slots: written by a direct-mode set-up (six of them) or the host. */
  SFcnMethod mdlInitializeSizes;                     /* 104 */
  SFcnHostWord reserved105[2];                       /* 105-106 */
  SFcnPortArgMethod mdlSetInputPortWidthOrDimsInfo;  /* 107: by portFlags bit 0 */
  SFcnPortArgMethod mdlSetOutputPortWidthOrDimsInfo; /* 108 */
  SFcnPortArgMethod mdlSetInputPortDataType;         /* 109 */
  SFcnPortArgMethod mdlSetOutputPortDataType;        /* 110 */
  SFcnMethod mdlSampleTimes;                         /* 111 */
  SFcnPortTimeMethod mdlSetInputPortSampleTime;      /* 112 */
  SFcnPortTimeMethod mdlSetOutputPortSampleTime;     /* 113 */
  SFcnMethod mdlSetWorkWidths;                       /* 114 */
  SFcnHostWord reserved115[3];                       /* 115-117 */
  SFcnMethod mdlCheckParameters;                     /* 118 */
  SFcnHostWord reserved119;                          /* 119 */
  SFcnMethod mdlGetTimeOfNextVarHit;                 /* 120 */
  SFcnOutputsMethod mdlOutputs;                      /* 121 */
  SFcnHostWord reserved122[2];                       /* 122-123 */
  SFcnMethod mdlZeroCrossings;                       /* 124 */
  SFcnMethod mdlTerminate;                           /* 125 */
  SFcnPortArgMethod mdlSetInputPortComplexSignal;    /* 126 */
  SFcnPortArgMethod mdlSetOutputPortComplexSignal;   /* 127 */
  SFcnHostWord reserved128[2];                       /* 128-129 */
};

/* Port accessors, guarded against bad indices and unconnected ports. */
const void* ssGetInputPortSignal(SFcnRecord* record, int32_t port);
const double* ssGetInputPortRealSignal(SFcnRecord* record, int32_t port);
void ssSetInputPortDirectFeedThrough(SFcnRecord* record, int32_t port, int32_t value);
/* Shows a modal "Fatal Error" dialog through the host. */
void showFatalError(SFcnRecord* record, const char* message);

#ifdef __cplusplus
}
#endif

/* Compile-time proof that the layouts sit at the host's word positions, on
 * 32-bit targets, where every field is one 32-bit word and field k lies at
 * byte 4 * k. */
#if UINTPTR_MAX == 0xFFFFFFFFu
#ifdef __cplusplus
#define SFCN_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define SFCN_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#define SFCN_AT_WORD(type, field, word) \
  SFCN_STATIC_ASSERT(offsetof(type, field) == 4 * (word), #type "." #field " at word " #word)
#define SFCN_WORDS(type, words) \
  SFCN_STATIC_ASSERT(sizeof(type) == 4 * (words), #type " is " #words " words")

SFCN_WORDS(DimsDescriptor, 4);
SFCN_AT_WORD(DimsDescriptor, elementCount, 0);
SFCN_AT_WORD(DimsDescriptor, dimCount, 1);
SFCN_AT_WORD(DimsDescriptor, dimValues, 2);
SFCN_AT_WORD(DimsDescriptor, reserved, 3);

SFCN_WORDS(SFcnSizes, 38);
SFCN_AT_WORD(SFcnSizes, outputPortCount, 2);
SFCN_AT_WORD(SFcnSizes, inputPortCount, 3);
SFCN_AT_WORD(SFcnSizes, callArgInt, 4);
SFCN_AT_WORD(SFcnSizes, sampleTimeCount, 6);
SFCN_AT_WORD(SFcnSizes, expectedParamCount, 7);
SFCN_AT_WORD(SFcnSizes, iworkLength, 8);
SFCN_AT_WORD(SFcnSizes, rworkLength, 9);
SFCN_AT_WORD(SFcnSizes, pworkLength, 10);
SFCN_AT_WORD(SFcnSizes, hostUnsigned, 15);
SFCN_AT_WORD(SFcnSizes, versionStamp, 19);
SFCN_AT_WORD(SFcnSizes, sizesFlags, 23);
SFCN_AT_WORD(SFcnSizes, portFlags, 31);

SFCN_WORDS(InputPortInfo, 16);
SFCN_AT_WORD(InputPortInfo, width, 0);
SFCN_AT_WORD(InputPortInfo, directFeedThrough, 1);
SFCN_AT_WORD(InputPortInfo, signal, 4);
SFCN_AT_WORD(InputPortInfo, attributes, 6);

SFCN_WORDS(OutputPortInfo, 14);
SFCN_AT_WORD(OutputPortInfo, attributes, 5);

SFCN_WORDS(HostInfo, 100);
SFCN_AT_WORD(HostInfo, standaloneMark, 0);
SFCN_AT_WORD(HostInfo, fatalErrorFlag, 14);
SFCN_AT_WORD(HostInfo, callArgDims, 50);
SFCN_AT_WORD(HostInfo, writeRtwStrFcn, 58);
SFCN_AT_WORD(HostInfo, writeRtwNameValueFcn, 59);
SFCN_AT_WORD(HostInfo, writeRtwParamFcn, 60);
SFCN_AT_WORD(HostInfo, writeRtwFcnArg, 61);
SFCN_AT_WORD(HostInfo, hostServiceFcn, 64);
SFCN_AT_WORD(HostInfo, callArgValue, 70);
SFCN_AT_WORD(HostInfo, setInputPortDimsFcn, 79);
SFCN_AT_WORD(HostInfo, setOutputPortDimsFcn, 80);
SFCN_AT_WORD(HostInfo, callArgSampleTime, 92);
SFCN_AT_WORD(HostInfo, callArgOffsetTime, 94);

SFCN_WORDS(PropagationMethods, 20);
SFCN_AT_WORD(PropagationMethods, mdlSetInputPortFrameData, 2);
SFCN_AT_WORD(PropagationMethods, mdlSetDefaultPortDimensionInfo, 4);
SFCN_AT_WORD(PropagationMethods, mdlSetDefaultPortDataTypes, 5);
SFCN_AT_WORD(PropagationMethods, mdlSetDefaultPortComplexSignals, 6);
SFCN_AT_WORD(PropagationMethods, mdlInitializePropagationPass, 19);

SFCN_WORDS(SFcnRecord, 130);
SFCN_AT_WORD(SFcnRecord, sfcnName, 0);
SFCN_AT_WORD(SFcnRecord, blockPath, 1);
SFCN_AT_WORD(SFcnRecord, rootRecord, 3);
SFCN_AT_WORD(SFcnRecord, errorMessage, 4);
SFCN_AT_WORD(SFcnRecord, sizesBlock, 5);
SFCN_AT_WORD(SFcnRecord, setNumInputPortsFcn, 43);
SFCN_AT_WORD(SFcnRecord, setNumInputPortsContext, 44);
SFCN_AT_WORD(SFcnRecord, setNumOutputPortsFcn, 45);
SFCN_AT_WORD(SFcnRecord, setNumOutputPortsContext, 46);
SFCN_AT_WORD(SFcnRecord, inputPorts, 47);
SFCN_AT_WORD(SFcnRecord, outputPorts, 48);
SFCN_AT_WORD(SFcnRecord, suppliedParamCount, 49);
SFCN_AT_WORD(SFcnRecord, paramArrays, 50);
SFCN_AT_WORD(SFcnRecord, propagationMethods, 66);
SFCN_AT_WORD(SFcnRecord, hostInfo, 83);
SFCN_AT_WORD(SFcnRecord, samplePeriods, 98);
SFCN_AT_WORD(SFcnRecord, sampleOffsets, 99);
SFCN_AT_WORD(SFcnRecord, mdlInitializeSizes, 104);
SFCN_AT_WORD(SFcnRecord, mdlSetInputPortWidthOrDimsInfo, 107);
SFCN_AT_WORD(SFcnRecord, mdlSetOutputPortWidthOrDimsInfo, 108);
SFCN_AT_WORD(SFcnRecord, mdlSetInputPortDataType, 109);
SFCN_AT_WORD(SFcnRecord, mdlSetOutputPortDataType, 110);
SFCN_AT_WORD(SFcnRecord, mdlSampleTimes, 111);
SFCN_AT_WORD(SFcnRecord, mdlSetInputPortSampleTime, 112);
SFCN_AT_WORD(SFcnRecord, mdlSetOutputPortSampleTime, 113);
SFCN_AT_WORD(SFcnRecord, mdlSetWorkWidths, 114);
SFCN_AT_WORD(SFcnRecord, mdlCheckParameters, 118);
SFCN_AT_WORD(SFcnRecord, mdlGetTimeOfNextVarHit, 120);
SFCN_AT_WORD(SFcnRecord, mdlOutputs, 121);
SFCN_AT_WORD(SFcnRecord, mdlZeroCrossings, 124);
SFCN_AT_WORD(SFcnRecord, mdlTerminate, 125);
SFCN_AT_WORD(SFcnRecord, mdlSetInputPortComplexSignal, 126);
SFCN_AT_WORD(SFcnRecord, mdlSetOutputPortComplexSignal, 127);

#undef SFCN_AT_WORD
#undef SFCN_WORDS

#endif
