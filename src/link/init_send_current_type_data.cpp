// InitSendCurrentTypeData: starts a download of the current type and makes
// its first step.
#include "link/download_state.h"
#include "typedata_link.h"

int InitSendCurrentTypeData(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter) {
  const SystemRecord* system = GetMMISystemStruc();
  if (system == nullptr || GetMMITypeNameAndStruc(system->currentTypeNo, nullptr, &td::sendTypeRecord) < 0) {
    // No machine or the type is unknown: nothing to send. A step after this
    // must not read whatever record was there before.
    td::sendTypeRecord = nullptr;
    return MMIPostMessage(window, 7, endCode & 0xFFFF, 0);
  }
  td::sendConfigCursor = 0;
  return td::SendOneDownloadStep(window, itemNotice, stepNotice, endCode, configFilter);
}
