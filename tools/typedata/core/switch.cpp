#include "core/switch.h"

#include <fmt/core.h>

#include "typedata.h"

namespace tool {
namespace {

// The tool's window and notice codes, as a host's dialog would have them.
HWND const kWindow = reinterpret_cast<HWND>(0x7D0);
constexpr int kTypeCodeNotice = 0x201;
constexpr int kStepNotice = 0x202;
constexpr int kEndCode = 0x203;
constexpr int kEndMessage = 7;

std::string PrefixOfIndex(int configIndex) {
  int index = 0;
  for (const ConfigRecord* config = GetMMISystemStruc()->configList; config; config = config->next, ++index) {
    if (index == configIndex) return config->name;
  }
  return "?";
}

// Pumps the host's message queue until the download has ended. Each step
// counts the values the controller took by its dummy read: the transfers
// delivered since sentBefore (the count before the download began).
void PumpDownload(Progress* progress, long sentBefore, SwitchReport* report) {
  const long total = GetMMITypeInfo()->configCount;
  mmisim::PostedMessage message;
  while (mmisim::NextMessage(&message)) {
    if (message.window != kWindow) continue;
    if (message.message == kEndMessage) {
      report->downloaded = true;
      // Configs that the type has no blocks for take no step.
      if (progress && static_cast<long>(report->steps.size()) < total)
        progress->Step("download", total, total);
      return;
    }
    if (message.message != mmisim::kStepAnswerMessage || message.wParam != kStepNotice) continue;
    const long sent = mmisim::ControllerTransfers();
    report->steps.push_back(
        {message.lParam, PrefixOfIndex(message.lParam), static_cast<int>(sent - sentBefore)});
    sentBefore = sent;
    if (progress) progress->Step("download", static_cast<long>(report->steps.size()), total);
    SendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  }
}

}  // namespace

bool SwitchType(Session& session, int typeNo, bool download, Progress* progress, SwitchReport* report,
                std::string* error) {
  *report = SwitchReport();
  const int old = session.current() >= 0 ? session.current() : typeNo;
  report->loadResult = ChangeCurrentTypeData(typeNo, old);
  if (report->loadResult != 0) {
    *error = report->loadResult < 0 ? fmt::format("no type {}", typeNo)
                                    : fmt::format("type {}: the type data file of config {} cannot be read",
                                                  typeNo, report->loadResult);
    return false;
  }
  if (!download) {
    session.SetCurrent(typeNo);
    return true;
  }
  const long sentBefore = mmisim::ControllerTransfers();
  UpdateCurrentType(kWindow, typeNo, kTypeCodeNotice, kStepNotice, kEndCode, 0xFFFF);
  session.SetCurrent(typeNo);
  for (const auto& received : mmisim::TypeCodesReceived()) {
    for (const auto& board : mmisim::CurrentMachine().boards) {
      if (board.configIndex == received.boardConfigIndex) {
        report->typeCodes.push_back({board.code, received.boardConfigIndex, received.typeNo});
      }
    }
  }
  // With boards present the type code went to them; the values follow by
  // the download, which the host starts itself.
  if (!report->typeCodes.empty()) InitSendCurrentTypeData(kWindow, 0xFFFF, kStepNotice, kEndCode, 0xFFFF);
  PumpDownload(progress, sentBefore, report);
  if (progress) progress->End();
  return true;
}

}  // namespace tool
