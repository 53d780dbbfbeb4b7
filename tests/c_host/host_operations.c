/* The host operations of this small host: a machine of one config, MAIN,
 * with two D items, and no types. */
#include <stdlib.h>

#include "typedata.h"

static SystemRecord system_record;
static KindCount main_kinds[TD_KIND_CODE_COUNT] = {[TD_CODE_D] = {.count = 2}};
static ConfigRecord main_config = {.name = "MAIN", .kindTable = main_kinds, .configNo = 1};
static TypeCatalogue catalogue = {.configCount = 1, .typeRecordSize = (uint16_t)TD_TYPE_RECORD_SIZE(1)};

SystemRecord* TD_CALL GetMMISystemStruc(void) {
  system_record.configList = &main_config;
  return &system_record;
}
TypeCatalogue* TD_CALL GetMMITypeInfo(void) { return &catalogue; }
int TD_CALL GetMMITypeNameAndStruc(int typeNo, char* name, TypeRecord** record) {
  (void)typeNo, (void)name, (void)record;
  return -1;
}
int TD_CALL SearchMMIConfigIndex(int configNo, ConfigRecord** config) {
  if (configNo != 1) return -1;
  if (config) *config = &main_config;
  return 0;
}
int TD_CALL GetMMIConfigStruc(int configIndex, ConfigRecord** config) {
  if (configIndex != 0) return -1;
  if (config) *config = &main_config;
  return 0;
}
int TD_CALL GetCFGIDStruc(CfgId id, CfgIdRecord** record) {
  (void)id, (void)record;
  return -1;
}
int TD_CALL GetIFxxConfigIndex(int boardCode, int reserved) {
  (void)boardCode, (void)reserved;
  return -1;
}
void* TD_CALL MMI_GlobalAlloc(uint32_t size) { return calloc(1, size); }
int TD_CALL GetHAIndex(int kindLetter) {
  switch (kindLetter) {
    case 'D':
      return 0;
    case 'S':
      return 1;
    case 'A':
      return 4;
    case 'L':
      return 5;
    case 'V':
      return 6;
    default:
      return -1;
  }
}
int TD_CALL GetLocaleID(const char* localeText) {
  (void)localeText;
  return 0x0409;
}
int TD_CALL MMIPostMessage(HWND window, int message, int wParam, int lParam) {
  (void)window, (void)message, (void)wParam, (void)lParam;
  return 1;
}
HWND TD_CALL MakeComboBox(HWND parent, HINSTANCE instance, const char* text, uint32_t style, int x, int y,
                          int width, int height, int controlId) {
  (void)parent, (void)instance, (void)text, (void)style, (void)x, (void)y, (void)width, (void)height;
  (void)controlId;
  return 0;
}
HFONT TD_CALL SetCommonFontSize(HDC dc) {
  (void)dc;
  return 0;
}
int TD_CALL CheckHPCOnline(void) { return 0; }
int TD_CALL SetHPCCommData(HWND window, CfgId id, uint16_t* typeNo) {
  (void)window, (void)id, (void)typeNo;
  return 0;
}
int TD_CALL SendTypeCode(HWND window, int notice, int boardConfigIndex, int typeNo) {
  (void)window, (void)notice, (void)boardConfigIndex, (void)typeNo;
  return 0;
}
int TD_CALL GetCommData(int reserved, CfgId id, int32_t* value) {
  (void)reserved, (void)id;
  *value = 0;
  return -1;
}
int TD_CALL SendComm(HWND window, int notice, CfgId id, int32_t value) {
  (void)window, (void)notice, (void)id, (void)value;
  return 0;
}
int TD_CALL DummyRead0(HWND window, int notice, int configIndex) {
  (void)window, (void)notice, (void)configIndex;
  return 0;
}
int TD_CALL SetDataToCommMem(CfgId id, int32_t* value) {
  (void)id, (void)value;
  return 0;
}
int TD_CALL SetDataToOfflineCommMem(CfgId id, int32_t* value) {
  (void)id, (void)value;
  return 0;
}
int32_t TD_CALL ConvertDoubleToMMIForm(double value, CfgId id) {
  (void)id;
  return (int32_t)value;
}
int32_t TD_CALL ConvertMMIBintoBinL(int32_t value, void* conversion) {
  (void)conversion;
  return value;
}
double TD_CALL ConvertMMIBintoBinF(int32_t value, void* conversion) {
  (void)conversion;
  return value;
}
HBRUSH TD_CALL GetMMIBrush(int colour) {
  (void)colour;
  return 0;
}

#ifndef _WIN32
/* Where Windows is absent, the host brings the window, drawing and
 * global-memory calls too. This host has no windows. */
LRESULT SendDlgItemMessageA(HWND dialog, int itemId, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)dialog, (void)itemId, (void)message, (void)wParam, (void)lParam;
  return 0;
}
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)window, (void)message, (void)wParam, (void)lParam;
  return 0;
}
HDC GetDC(HWND window) {
  (void)window;
  return 0;
}
int ReleaseDC(HWND window, HDC dc) {
  (void)window, (void)dc;
  return 1;
}
BOOL DestroyWindow(HWND window) {
  (void)window;
  return 1;
}
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  (void)dc, (void)object;
  return 0;
}
BOOL Polygon(HDC dc, const POINT* points, int count) {
  (void)dc, (void)points, (void)count;
  return 1;
}
HGLOBAL GlobalHandle(LPCVOID memory) { return (HGLOBAL)memory; }
BOOL GlobalUnlock(HGLOBAL memory) {
  (void)memory;
  return 0;
}
HGLOBAL GlobalFree(HGLOBAL memory) {
  free(memory);
  return 0;
}
#endif
