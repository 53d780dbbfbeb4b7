// The communication library: comm memory, its offline copy, and a
// controller fed by queued transfers.
#include "../state.h"

namespace mmisim {
bool CommValue(CfgId id, std::int32_t* value) { return S().comm.Find(id, value); }
void SetCommValue(CfgId id, std::int32_t value) { S().comm.Set(id, value); }
bool OfflineCommValue(CfgId id, std::int32_t* value) { return S().offlineComm.Find(id, value); }
const std::map<CfgId, std::int32_t>& CommMemory() { return S().comm.Values(); }
const std::map<CfgId, std::int32_t>& OfflineCommMemory() { return S().offlineComm.Values(); }
const std::map<CfgId, std::int32_t>& ControllerMemory() { return S().controller.Values(); }
void ClearControllerMemory() { S().controller.Clear(); }
long ControllerTransfers() { return S().delivered; }
const std::vector<TypeCodeReceived>& TypeCodesReceived() { return S().typeCodes; }
void SetHpcOnline(bool online) { S().hpcOnline = online; }
int HpcTypeNo() { return S().hpcTypeNo; }

}  // namespace mmisim

using mmisim::Arg;
using mmisim::Record;
using mmisim::S;

extern "C" {

int TD_CALL CheckHPCOnline(void) {
  const int result = S().hpcOnline ? 1 : 0;
  Record("CheckHPCOnline", {}, result);
  return result;
}

int TD_CALL SetHPCCommData(HWND window, CfgId id, std::uint16_t* typeNo) {
  if (typeNo) S().hpcTypeNo = *typeNo;
  Record("SetHPCCommData", {Arg(window), id, Arg(typeNo)}, 0);
  return 0;
}

int TD_CALL SendTypeCode(HWND window, int notice, int boardConfigIndex, int typeNo) {
  const int result = boardConfigIndex < 0 ? -1 : 0;
  if (result == 0) S().typeCodes.push_back({boardConfigIndex, typeNo & 0xFFFF, notice & 0xFFFF});
  Record("SendTypeCode", {Arg(window), notice, boardConfigIndex, typeNo}, result);
  return result;
}

int TD_CALL GetCommData(int reserved, CfgId id, std::int32_t* value) {
  std::int32_t found = 0;
  const int result = S().comm.Find(id, &found) ? 0 : -1;
  if (value) *value = found;
  Record("GetCommData", {reserved, id, Arg(value)}, result);
  return result;
}

int TD_CALL SendComm(HWND window, int notice, CfgId id, std::int32_t value) {
  S().transfers.emplace_back(id, value);
  Record("SendComm", {Arg(window), notice, id, value}, 0);
  return 0;
}

int TD_CALL DummyRead0(HWND window, int notice, int configIndex) {
  mmisim::State& s = S();
  // The controller has taken every transfer queued before the dummy read
  // when the read is answered.
  for (const auto& [id, value] : s.transfers) s.controller.Set(id, value);
  s.delivered += static_cast<long>(s.transfers.size());
  s.transfers.clear();
  s.messages.push_back(mmisim::PostedMessage{window, mmisim::kStepAnswerMessage, notice, configIndex});
  Record("DummyRead0", {Arg(window), notice, configIndex}, 0);
  return 0;
}

int TD_CALL SetDataToCommMem(CfgId id, std::int32_t* value) {
  if (value) S().comm.Set(id, *value);
  Record("SetDataToCommMem", {id, Arg(value)}, 0);
  return 0;
}

int TD_CALL SetDataToOfflineCommMem(CfgId id, std::int32_t* value) {
  if (value) S().offlineComm.Set(id, *value);
  Record("SetDataToOfflineCommMem", {id, Arg(value)}, 0);
  return 0;
}

}  // extern "C"
