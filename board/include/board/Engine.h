// The realtime media engine "orvanertme" (liborvanertme.so): the virtual
// board's engine side. Every operation is bound by its ordinal; the ordinal
// stands beside each function and in the table kRtmeOrdinal_*.
//
// Arguments are 32-bit values: handles, tokens and engine-side buffer
// addresses come from handle tables and 0 always means failure. Names and
// records are passed as native pointers. Object names are at most
// kRtmeMaxNameLength characters; a longer or empty name fails.
//
// Named objects (switcher clients, probes, outputs, and the support
// library's producers and spiders) are exclusive on the board: while one
// exists, creating another of the same name fails, in any process of the
// user. A process that ends gives its names back by itself.
//
// QUELLOR_BOARD=none simulates a machine without the board: the switcher
// client cannot be opened.
#pragma once

#include <quellor/Export.h>

#include "board/FieldRecords.h"
#include "win32/types.h"

inline constexpr DWORD kRtmeMaxNameLength = 80;

// Pins of the board (pin number 0).
#define RTME_PIN_INPUT "media.pins.quellor.vin0.out"
#define RTME_PIN_OUTPUT_FEED "media.pins.quellor.vout0.in"
#define RTME_PIN_OUTPUT_MONITOR "media.pins.quellor.vout0.out"

// Switcher commands (ordinal 86).
inline constexpr DWORD kRtmeCommandShowLiveInput = 2068;

// Control type codes (ordinals 99, 100, 115): both carry a 32-bit integer.
inline constexpr DWORD kRtmeControlTypeSigned = 4;
inline constexpr DWORD kRtmeControlTypeSetting = 5;

enum RTME_Ordinal : DWORD {
  kRtmeOrdinal_OpenEngine = 2,
  kRtmeOrdinal_CloseEngine = 4,
  kRtmeOrdinal_GetMediaContext = 5,
  kRtmeOrdinal_FillNtscFieldFormat = 23,
  kRtmeOrdinal_FillPalFieldFormat = 24,
  kRtmeOrdinal_GetFieldParity = 26,
  kRtmeOrdinal_CreateOutput = 69,
  kRtmeOrdinal_ReleaseOutput = 70,
  kRtmeOrdinal_GetEmptyOutputBuffer = 72,
  kRtmeOrdinal_ShowOutputBuffer = 73,
  kRtmeOrdinal_ReturnOutputBuffer = 74,
  kRtmeOrdinal_OpenSwitcherClient = 81,
  kRtmeOrdinal_CloseSwitcherClient = 82,
  kRtmeOrdinal_SwitcherCommand = 86,
  kRtmeOrdinal_GetFieldTimeStamp = 98,
  kRtmeOrdinal_SetInputControl = 99,
  kRtmeOrdinal_SetOutputControl = 100,
  kRtmeOrdinal_CreateProbe = 108,
  kRtmeOrdinal_DestroyProbe = 109,
  kRtmeOrdinal_GetProbeBufferOwner = 110,
  kRtmeOrdinal_AttachProbe = 111,
  kRtmeOrdinal_SetProbeCallback = 112,
  kRtmeOrdinal_GetControl = 115,
};

// Called on an engine thread for each field at the probe's pin. The pixels
// (info->fieldBytes bytes, 1440 a line) and the record stay valid until the
// field is released with Harmonex ordinal 62 (owner from ordinal 110, token
// info->bufferToken); the callback returns that call's result.
typedef DWORD (*RTME_ProbeCallback)(void* context, const BYTE* fieldPixels,
                                    const RTME_FieldInfo* fieldInfo);

#ifdef __cplusplus
extern "C" {
#endif

// ---- engine instances -------------------------------------------------------
QUELLOR_EXPORT DWORD RTME_OpenEngine(void);                 // ordinal 2: engine instance
QUELLOR_EXPORT BOOL RTME_CloseEngine(DWORD instance);       // ordinal 4
QUELLOR_EXPORT DWORD RTME_GetMediaContext(DWORD instance);  // ordinal 5: context for named objects

// ---- switcher client ----------------------------------------------------------
QUELLOR_EXPORT DWORD RTME_OpenSwitcherClient(const char* name);  // ordinal 81
QUELLOR_EXPORT BOOL RTME_CloseSwitcherClient(DWORD client);      // ordinal 82
// ordinal 86: parameters points at 16 bytes (null counts as zeros). Command
// 2068 puts the live input back on the output until a program shows a field.
QUELLOR_EXPORT BOOL RTME_SwitcherCommand(DWORD client, DWORD command, const void* parameters);
// ordinal 98: the current field's time stamp (the field clock's counter, the
// same as in RTME_FieldInfo::timeStamp); 0 for an unknown client.
QUELLOR_EXPORT DWORD RTME_GetFieldTimeStamp(DWORD client, DWORD reserved1, DWORD reserved2);
// ordinals 99 and 100: set an input-side or output-side control to *value.
QUELLOR_EXPORT BOOL RTME_SetInputControl(DWORD client, DWORD reserved1, DWORD reserved2,
                                         const char* name, DWORD typeCode, const DWORD* value);
QUELLOR_EXPORT BOOL RTME_SetOutputControl(DWORD client, DWORD reserved1, DWORD reserved2,
                                          const char* name, DWORD typeCode, const DWORD* value);
// ordinal 115: read a control (the input side's value, or the output side's
// when only that side was ever set) into valueBytes (at least 4) bytes.
QUELLOR_EXPORT BOOL RTME_GetControl(DWORD client, DWORD reserved1, DWORD reserved2,
                                    const char* name, DWORD typeCode, void* value,
                                    DWORD valueBytes);

// ---- field records --------------------------------------------------------------
// ordinals 23 and 24: fill a field format record (byte 20 of a field
// descriptor) for field 0 or 1 of an NTSC or PAL frame.
QUELLOR_EXPORT BOOL RTME_FillNtscFieldFormat(RTME_FieldFormat* record,
                                             DWORD fieldIndex);  // ordinal 23
QUELLOR_EXPORT BOOL RTME_FillPalFieldFormat(RTME_FieldFormat* record,
                                            DWORD fieldIndex);  // ordinal 24
// ordinal 26: 0 first field, 1 second field; 0xFFFFFFFF for a null or
// unfilled record.
QUELLOR_EXPORT DWORD RTME_GetFieldParity(const RTME_FieldFormat* record);

// ---- probes ----------------------------------------------------------------------
QUELLOR_EXPORT DWORD RTME_CreateProbe(DWORD mediaContext, const char* name);  // ordinal 108
QUELLOR_EXPORT BOOL RTME_DestroyProbe(DWORD probe);                           // ordinal 109
QUELLOR_EXPORT DWORD RTME_GetProbeBufferOwner(DWORD probe);                   // ordinal 110
// ordinal 111: attach to RTME_PIN_INPUT or RTME_PIN_OUTPUT_MONITOR; null
// detaches (fails when not attached). Detaching waits for a callback of this
// probe that is running on another thread.
QUELLOR_EXPORT BOOL RTME_AttachProbe(DWORD probe, const char* pinName);
// ordinal 112: a null callback fails.
QUELLOR_EXPORT BOOL RTME_SetProbeCallback(DWORD probe, void* context, RTME_ProbeCallback callback);

// ---- outputs -----------------------------------------------------------------------
// ordinal 69: an output with a small pool of frame buffers of the standard
// (palFlag 1 PAL, 0 NTSC).
QUELLOR_EXPORT DWORD RTME_CreateOutput(const char* name, DWORD reserved1, DWORD reserved2,
                                       DWORD palFlag);
QUELLOR_EXPORT BOOL RTME_ReleaseOutput(DWORD output);  // ordinal 70
// ordinal 72: token of an empty frame buffer, its address and byte size
// written out; 0 when none is free. A frame is field 0 then field 1.
QUELLOR_EXPORT DWORD RTME_GetEmptyOutputBuffer(DWORD output, BYTE** bufferAddress,
                                               DWORD* bufferBytes);
// ordinal 73: show the frame (both fields, in order, at the field rate) from
// the next first field after the current one; the buffer returns to the
// pool once its second field has been shown.
QUELLOR_EXPORT BOOL RTME_ShowOutputBuffer(DWORD output, DWORD token, DWORD bytes);
QUELLOR_EXPORT BOOL RTME_ReturnOutputBuffer(DWORD output, DWORD token, DWORD bytes);  // ordinal 74

#ifdef __cplusplus
}
#endif
