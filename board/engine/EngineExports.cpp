// The engine's exported operations: thin entries into the process's board.
#include "Board.h"
#include "FieldFormat.h"
#include "board/Engine.h"

using quellor::board::Board;
using quellor::board::ControlSide;

extern "C" {

DWORD RTME_OpenEngine(void) {
  return Board::Instance().OpenEngine();
}
BOOL RTME_CloseEngine(DWORD instance) {
  return Board::Instance().CloseEngine(instance);
}
DWORD RTME_GetMediaContext(DWORD instance) {
  return Board::Instance().GetMediaContext(instance);
}

DWORD RTME_OpenSwitcherClient(const char* name) {
  return Board::Instance().OpenSwitcherClient(name);
}
BOOL RTME_CloseSwitcherClient(DWORD client) {
  return Board::Instance().CloseSwitcherClient(client);
}
BOOL RTME_SwitcherCommand(DWORD client, DWORD command, const void* /*parameters*/) {
  return Board::Instance().SwitcherCommand(client, command);
}
DWORD RTME_GetFieldTimeStamp(DWORD client, DWORD, DWORD) {
  return Board::Instance().GetFieldTimeStamp(client);
}
BOOL RTME_SetInputControl(DWORD client, DWORD, DWORD, const char* name, DWORD typeCode,
                          const DWORD* value) {
  return Board::Instance().SetControl(client, ControlSide::Input, name, typeCode, value);
}
BOOL RTME_SetOutputControl(DWORD client, DWORD, DWORD, const char* name, DWORD typeCode,
                           const DWORD* value) {
  return Board::Instance().SetControl(client, ControlSide::Output, name, typeCode, value);
}
BOOL RTME_GetControl(DWORD client, DWORD, DWORD, const char* name, DWORD typeCode, void* value,
                     DWORD valueBytes) {
  return Board::Instance().GetControl(client, name, typeCode, value, valueBytes);
}

BOOL RTME_FillNtscFieldFormat(RTME_FieldFormat* record, DWORD fieldIndex) {
  if (!record || fieldIndex > 1) return FALSE;
  *record = quellor::board::MakeFieldFormat(kFieldStandardNtsc, fieldIndex);
  return TRUE;
}
BOOL RTME_FillPalFieldFormat(RTME_FieldFormat* record, DWORD fieldIndex) {
  if (!record || fieldIndex > 1) return FALSE;
  *record = quellor::board::MakeFieldFormat(kFieldStandardPal, fieldIndex);
  return TRUE;
}
DWORD RTME_GetFieldParity(const RTME_FieldFormat* record) {
  if (!record || !quellor::board::IsValidFieldFormat(*record)) return 0xFFFFFFFFu;
  return record->parity;
}

DWORD RTME_CreateProbe(DWORD mediaContext, const char* name) {
  return Board::Instance().CreateProbe(mediaContext, name);
}
BOOL RTME_DestroyProbe(DWORD probe) {
  return Board::Instance().DestroyProbe(probe);
}
DWORD RTME_GetProbeBufferOwner(DWORD probe) {
  return Board::Instance().GetProbeBufferOwner(probe);
}
BOOL RTME_AttachProbe(DWORD probe, const char* pinName) {
  return Board::Instance().AttachProbe(probe, pinName);
}
BOOL RTME_SetProbeCallback(DWORD probe, void* context, RTME_ProbeCallback callback) {
  return Board::Instance().SetProbeCallback(probe, context, callback);
}

DWORD RTME_CreateOutput(const char* name, DWORD, DWORD, DWORD palFlag) {
  return Board::Instance().CreateOutput(name, palFlag);
}
BOOL RTME_ReleaseOutput(DWORD output) {
  return Board::Instance().ReleaseOutput(output);
}
DWORD RTME_GetEmptyOutputBuffer(DWORD output, BYTE** bufferAddress, DWORD* bufferBytes) {
  return Board::Instance().GetEmptyOutputBuffer(output, bufferAddress, bufferBytes);
}
BOOL RTME_ShowOutputBuffer(DWORD output, DWORD token, DWORD bytes) {
  return Board::Instance().ShowOutputBuffer(output, token, bytes);
}
BOOL RTME_ReturnOutputBuffer(DWORD output, DWORD token, DWORD bytes) {
  return Board::Instance().ReturnOutputBuffer(output, token, bytes);
}

}  // extern "C"
