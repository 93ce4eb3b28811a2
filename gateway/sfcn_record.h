/* The per-block record shared with the host word by word.
 *
 * The host owns the record in direct mode and reads and writes it directly,
 * so its layout is an interface. On 32-bit targets every field is a 32-bit
 * word at the index given beside it. Every offset is asserted below, for
 * 32-bit and 64-bit targets.
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

/* Compile-time proof that the layouts sit at the host's positions. On
 * 32-bit targets every field is one 32-bit word and field k lies at byte
 * 4 * k. On 64-bit targets (LP64 Linux and LLP64 Windows alike: no field is
 * a long) the byte offsets are those the widening gives, the x86-64 file's
 * layout; the second number of each row. */
#ifdef __cplusplus
#define SFCN_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define SFCN_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
#define SFCN_AT(type, field, word, byte64) \
  SFCN_STATIC_ASSERT(offsetof(type, field) == 4 * (word), #type "." #field " at word " #word)
#define SFCN_SIZE(type, words, bytes64) \
  SFCN_STATIC_ASSERT(sizeof(type) == 4 * (words), #type " is " #words " words")
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
#define SFCN_AT(type, field, word, byte64)              \
  SFCN_STATIC_ASSERT(offsetof(type, field) == (byte64), \
                     #type "." #field " (word " #word ") at byte " #byte64)
#define SFCN_SIZE(type, words, bytes64) \
  SFCN_STATIC_ASSERT(sizeof(type) == (bytes64), #type " is " #bytes64 " bytes")
#else
#error "the record's layout is known for 32-bit and 64-bit addresses only"
#endif

SFCN_SIZE(DimsDescriptor, 4, 24);
SFCN_AT(DimsDescriptor, elementCount, 0, 0);
SFCN_AT(DimsDescriptor, dimCount, 1, 4);
SFCN_AT(DimsDescriptor, dimValues, 2, 8);
SFCN_AT(DimsDescriptor, reserved, 3, 16);

SFCN_SIZE(SFcnSizes, 38, 152);
SFCN_AT(SFcnSizes, outputPortCount, 2, 8);
SFCN_AT(SFcnSizes, inputPortCount, 3, 12);
SFCN_AT(SFcnSizes, callArgInt, 4, 16);
SFCN_AT(SFcnSizes, sampleTimeCount, 6, 24);
SFCN_AT(SFcnSizes, expectedParamCount, 7, 28);
SFCN_AT(SFcnSizes, iworkLength, 8, 32);
SFCN_AT(SFcnSizes, rworkLength, 9, 36);
SFCN_AT(SFcnSizes, pworkLength, 10, 40);
SFCN_AT(SFcnSizes, hostUnsigned, 15, 60);
SFCN_AT(SFcnSizes, versionStamp, 19, 76);
SFCN_AT(SFcnSizes, sizesFlags, 23, 92);
SFCN_AT(SFcnSizes, portFlags, 31, 124);

SFCN_SIZE(InputPortInfo, 16, 120);
SFCN_AT(InputPortInfo, width, 0, 0);
SFCN_AT(InputPortInfo, directFeedThrough, 1, 4);
SFCN_AT(InputPortInfo, signal, 4, 24);
SFCN_AT(InputPortInfo, attributes, 6, 40);

SFCN_SIZE(OutputPortInfo, 14, 112);
SFCN_AT(OutputPortInfo, attributes, 5, 40);

SFCN_SIZE(HostInfo, 100, 784);
SFCN_AT(HostInfo, standaloneMark, 0, 0);
SFCN_AT(HostInfo, fatalErrorFlag, 14, 112);
SFCN_AT(HostInfo, callArgDims, 50, 400);
SFCN_AT(HostInfo, writeRtwStrFcn, 58, 464);
SFCN_AT(HostInfo, writeRtwNameValueFcn, 59, 472);
SFCN_AT(HostInfo, writeRtwParamFcn, 60, 480);
SFCN_AT(HostInfo, writeRtwFcnArg, 61, 488);
SFCN_AT(HostInfo, hostServiceFcn, 64, 512);
SFCN_AT(HostInfo, callArgValue, 70, 560);
SFCN_AT(HostInfo, setInputPortDimsFcn, 79, 632);
SFCN_AT(HostInfo, setOutputPortDimsFcn, 80, 640);
SFCN_AT(HostInfo, callArgSampleTime, 92, 736);
SFCN_AT(HostInfo, callArgOffsetTime, 94, 744);

SFCN_SIZE(PropagationMethods, 20, 160);
SFCN_AT(PropagationMethods, mdlSetInputPortFrameData, 2, 16);
SFCN_AT(PropagationMethods, mdlSetDefaultPortDimensionInfo, 4, 32);
SFCN_AT(PropagationMethods, mdlSetDefaultPortDataTypes, 5, 40);
SFCN_AT(PropagationMethods, mdlSetDefaultPortComplexSignals, 6, 48);
SFCN_AT(PropagationMethods, mdlInitializePropagationPass, 19, 152);

SFCN_SIZE(SFcnRecord, 130, 888);
SFCN_AT(SFcnRecord, sfcnName, 0, 0);
SFCN_AT(SFcnRecord, blockPath, 1, 8);
SFCN_AT(SFcnRecord, rootRecord, 3, 24);
SFCN_AT(SFcnRecord, errorMessage, 4, 32);
SFCN_AT(SFcnRecord, sizesBlock, 5, 40);
SFCN_AT(SFcnRecord, setNumInputPortsFcn, 43, 192);
SFCN_AT(SFcnRecord, setNumInputPortsContext, 44, 200);
SFCN_AT(SFcnRecord, setNumOutputPortsFcn, 45, 208);
SFCN_AT(SFcnRecord, setNumOutputPortsContext, 46, 216);
SFCN_AT(SFcnRecord, inputPorts, 47, 224);
SFCN_AT(SFcnRecord, outputPorts, 48, 232);
SFCN_AT(SFcnRecord, suppliedParamCount, 49, 240);
SFCN_AT(SFcnRecord, paramArrays, 50, 248);
SFCN_AT(SFcnRecord, propagationMethods, 66, 376);
SFCN_AT(SFcnRecord, hostInfo, 83, 512);
SFCN_AT(SFcnRecord, samplePeriods, 98, 632);
SFCN_AT(SFcnRecord, sampleOffsets, 99, 640);
SFCN_AT(SFcnRecord, mdlInitializeSizes, 104, 680);
SFCN_AT(SFcnRecord, mdlSetInputPortWidthOrDimsInfo, 107, 704);
SFCN_AT(SFcnRecord, mdlSetOutputPortWidthOrDimsInfo, 108, 712);
SFCN_AT(SFcnRecord, mdlSetInputPortDataType, 109, 720);
SFCN_AT(SFcnRecord, mdlSetOutputPortDataType, 110, 728);
SFCN_AT(SFcnRecord, mdlSampleTimes, 111, 736);
SFCN_AT(SFcnRecord, mdlSetInputPortSampleTime, 112, 744);
SFCN_AT(SFcnRecord, mdlSetOutputPortSampleTime, 113, 752);
SFCN_AT(SFcnRecord, mdlSetWorkWidths, 114, 760);
SFCN_AT(SFcnRecord, mdlCheckParameters, 118, 792);
SFCN_AT(SFcnRecord, mdlGetTimeOfNextVarHit, 120, 808);
SFCN_AT(SFcnRecord, mdlOutputs, 121, 816);
SFCN_AT(SFcnRecord, mdlZeroCrossings, 124, 840);
SFCN_AT(SFcnRecord, mdlTerminate, 125, 848);
SFCN_AT(SFcnRecord, mdlSetInputPortComplexSignal, 126, 856);
SFCN_AT(SFcnRecord, mdlSetOutputPortComplexSignal, 127, 864);

#undef SFCN_AT
#undef SFCN_SIZE
#undef SFCN_STATIC_ASSERT
