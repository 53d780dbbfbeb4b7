// UpdateCurrentType: makes a type the machine's current type and sends it
// on: its type code to the interface boards, or its values by download.
#include <cstdint>
#include <cstring>

#include "typedata_link.h"

namespace {

constexpr unsigned kEveryBoard = 0xFFFF;
constexpr int kFirstBoard = 128;
constexpr int kLastBoard = 143;
constexpr int kAllNotice = 0xFFFF;
constexpr CfgId kHpcTypeNoId = 0x300B0;  // item 3, kind code 0, config byte 0xB0

bool IsBoardPresent(int configIndex) { return configIndex != -1; }

// The type code to every present board, the caller's notice with the last.
// With no board present, the download of every config instead.
int SendToEveryBoard(HWND window, const TypeRecord* type, int typeCodeNotice, int stepNotice, int endCode) {
  int present = 0;
  for (int code = kFirstBoard; code <= kLastBoard; ++code) {
    if (IsBoardPresent(GetIFxxConfigIndex(code, 0))) ++present;
  }
  if (present == 0) return InitSendCurrentTypeData(window, kAllNotice, stepNotice, endCode, kEveryBoard);

  int ordinal = 0;
  int result = 0;
  for (int code = kFirstBoard; code <= kLastBoard; ++code) {
    const int configIndex = GetIFxxConfigIndex(code, 0);
    if (!IsBoardPresent(configIndex)) continue;
    ++ordinal;
    result =
        SendTypeCode(window, ordinal == present ? typeCodeNotice : kAllNotice, configIndex, type->typeNo);
  }
  return result;
}

}  // namespace

int UpdateCurrentType(HWND window, int typeNo, int typeCodeNotice, int stepNotice, int endCode, int target) {
  char name[TD_TYPE_NAME_SIZE] = {};
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(typeNo, name, &type) < 0 || type == nullptr) return -1;
  SystemRecord* system = GetMMISystemStruc();
  if (system == nullptr) return -1;

  system->currentTypeNo = static_cast<std::uint16_t>(typeNo & 0xFFFF);
  // The buffer holds at most 23 characters and its terminator; the field is
  // never left without one.
  std::memcpy(system->currentTypeName, name, TD_TYPE_NAME_SIZE);
  system->currentTypeName[TD_TYPE_NAME_MAX] = '\0';

  if (CheckHPCOnline() != 0) SetHPCCommData(window, kHpcTypeNoId, &type->typeNo);

  const unsigned selector = static_cast<unsigned>(target) & 0xFFFF;
  if (selector == kEveryBoard) return SendToEveryBoard(window, type, typeCodeNotice, stepNotice, endCode);
  if (selector >= kFirstBoard && selector <= kLastBoard) {
    const int configIndex = GetIFxxConfigIndex(static_cast<int>(selector), 0);
    // A board the machine does not have is reported, not sent to.
    if (!IsBoardPresent(configIndex)) return -1;
    return SendTypeCode(window, typeCodeNotice, configIndex, type->typeNo);
  }
  return InitSendCurrentTypeData(window, kAllNotice, stepNotice, endCode, target);
}
