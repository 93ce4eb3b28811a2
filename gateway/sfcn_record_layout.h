/* Compile-time proof that the record layouts sit at the host's word
 * positions. Included by sfcn_record.h on 32-bit targets only, where every
 * field is one 32-bit word and field k lies at byte 4 * k. */
#ifndef TWINVOLTS_GATEWAY_SFCN_RECORD_LAYOUT_H
#define TWINVOLTS_GATEWAY_SFCN_RECORD_LAYOUT_H

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
