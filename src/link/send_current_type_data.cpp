// SendCurrentTypeData: one further step of the download.
#include "link/download_state.h"
#include "typedata_link.h"

int SendCurrentTypeData(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter) {
  return td::SendOneDownloadStep(window, itemNotice, stepNotice, endCode, configFilter);
}
