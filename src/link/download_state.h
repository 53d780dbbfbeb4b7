// The state of the stepwise download, one download at a time.
#ifndef TYPEDATA_LINK_DOWNLOAD_STATE_H
#define TYPEDATA_LINK_DOWNLOAD_STATE_H

#include <cstdint>

#include "records.h"
#include "windows_types.h"

namespace td {

// The type being downloaded; the catalogue owns it. Null until a download
// has found its type.
extern TypeRecord* sendTypeRecord;
// Config position of the next config a step considers.
extern std::uint16_t sendConfigCursor;

// One step of the download: sends the next config taken and closes the step
// with a dummy read, or posts the end message when none is left. The result
// of the last host call.
int SendOneDownloadStep(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter);

}  // namespace td

#endif  // TYPEDATA_LINK_DOWNLOAD_STATE_H
