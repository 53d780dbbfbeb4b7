/*
 * The host operations of a minimal host: a machine of one config, "MAIN",
 * with two D items and one V item, no controller, no windows. A real host's
 * structure, shell, communication, conversion and colour libraries provide
 * these; this file shows what each must answer.
 */
#include <stdlib.h>
#include <string.h>

#include <typedata/typedata.h>

#define ITEMS_D 2
#define ITEMS_V 1
#define COMM_SLOTS 16

static SystemRecord system_record;
static TypeCatalogue catalogue;
static KindCount kinds[TD_KIND_CODE_COUNT];
static ConfigRecord main_config;
static CfgIdRecord items_d[ITEMS_D];
static CfgIdRecord items_v[ITEMS_V];

/* Comm memory: one value per D item. */
static int32_t comm[COMM_SLOTS];

void minimal_host_start(void) {
  strcpy(system_record.localeText, "English");
  system_record.configList = &main_config;
  system_record.namePartCount = 1;

  strcpy(main_config.name, "MAIN");
  main_config.configNo = 1;
  main_config.partNo = 0;
  main_config.kindTable = kinds;
  kinds[TD_CODE_D].count = ITEMS_D;
  kinds[TD_CODE_V].count = ITEMS_V;

  items_d[0].dataType = TD_TYPE_REAL_P;
  items_d[0].defaultValue = 12.5;
  items_d[1].dataType = TD_TYPE_REAL_P;
  items_d[1].defaultValue = 3.0;
  items_v[0].dataType = 'C';

  catalogue.configCount = 1;
  catalogue.typeRecordSize = (uint16_t)TD_TYPE_RECORD_SIZE(1);
}

/* ---- Structure library ---- */

SystemRecord* TD_CALL GetMMISystemStruc(void) { return &system_record; }
TypeCatalogue* TD_CALL GetMMITypeInfo(void) { return &catalogue; }

int TD_CALL GetMMITypeNameAndStruc(int typeNo, char* name, TypeRecord** record) {
  TypeRecord* type;
  for (type = catalogue.typeList; type; type = type->next) {
    if (type->typeNo != (typeNo & 0xFFFF)) continue;
    if (name) strcpy(name, type->name);
    if (record) *record = type;
    return 0;
  }
  return -1;
}

int TD_CALL SearchMMIConfigIndex(int configNo, ConfigRecord** config) {
  if ((configNo & 0xFFFF) != main_config.configNo) return -1;
  if (config) *config = &main_config;
  return 0;
}

int TD_CALL GetMMIConfigStruc(int configIndex, ConfigRecord** config) {
  if (configIndex != 0) return -1;
  if (config) *config = &main_config;
  return 0;
}

int TD_CALL GetCFGIDStruc(CfgId id, CfgIdRecord** record) {
  const unsigned item = TD_CFGID_ITEM(id);
  if (TD_CFGID_CONFIG(id) != 0) return -1;
  if (TD_CFGID_KIND(id) == TD_CODE_D && item < ITEMS_D) {
    *record = &items_d[item];
  } else if (TD_CFGID_KIND(id) == TD_CODE_V && item < ITEMS_V) {
    *record = &items_v[item];
  } else {
    return -1;
  }
  return 0;
}

int TD_CALL GetIFxxConfigIndex(int boardCode, int reserved) {
  (void)boardCode, (void)reserved;
  return -1; /* no interface boards */
}

/* ---- Shell library ---- */

void* TD_CALL MMI_GlobalAlloc(uint32_t size) { return calloc(1, size); }

int TD_CALL GetHAIndex(int kindLetter) {
  switch (kindLetter) {
    case 'D':
      return TD_CODE_D;
    case 'S':
      return TD_CODE_S;
    case 'A':
      return TD_CODE_A;
    case 'L':
      return TD_CODE_L;
    case 'V':
      return TD_CODE_V;
    default:
      return -1;
  }
}

int TD_CALL GetLocaleID(const char* localeText) {
  (void)localeText;
  return 0x0409; /* English (United States) */
}

int TD_CALL MMIPostMessage(HWND window, int message, int wParam, int lParam) {
  (void)window, (void)message, (void)wParam, (void)lParam;
  return 1;
}

HWND TD_CALL MakeComboBox(HWND parent, HINSTANCE instance, const char* text, uint32_t style, int x, int y,
                          int width, int height, int controlId) {
  (void)parent, (void)instance, (void)text, (void)style, (void)x, (void)y, (void)width, (void)height;
  (void)controlId;
  return NULL; /* no windows in this host */
}

HFONT TD_CALL SetCommonFontSize(HDC dc) {
  (void)dc;
  return NULL;
}

/* ---- Communication library: no controller is on line ---- */

int TD_CALL CheckHPCOnline(void) { return 0; }

int TD_CALL SetHPCCommData(HWND window, CfgId id, uint16_t* typeNo) {
  (void)window, (void)id, (void)typeNo;
  return 0;
}

int TD_CALL SendTypeCode(HWND window, int notice, int boardConfigIndex, int typeNo) {
  (void)window, (void)notice, (void)boardConfigIndex, (void)typeNo;
  return 0;
}

static int32_t* comm_slot(CfgId id) {
  if (TD_CFGID_CONFIG(id) != 0 || TD_CFGID_KIND(id) != TD_CODE_D || TD_CFGID_ITEM(id) >= ITEMS_D) return NULL;
  return &comm[TD_CFGID_ITEM(id)];
}

int TD_CALL GetCommData(int reserved, CfgId id, int32_t* value) {
  int32_t* slot = comm_slot(id);
  (void)reserved;
  if (!slot) return -1;
  *value = *slot;
  return 0;
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
  int32_t* slot = comm_slot(id);
  if (!slot) return -1;
  *slot = *value;
  return 0;
}

int TD_CALL SetDataToOfflineCommMem(CfgId id, int32_t* value) {
  (void)id, (void)value;
  return 0; /* offline editing is not enabled */
}

/* ---- Conversion library: the controller keeps thousandths ---- */

int32_t TD_CALL ConvertDoubleToMMIForm(double value, CfgId id) {
  (void)id;
  return (int32_t)(value * 1000.0 + (value < 0 ? -0.5 : 0.5));
}

int32_t TD_CALL ConvertMMIBintoBinL(int32_t value, void* conversion) {
  (void)conversion;
  return value;
}

double TD_CALL ConvertMMIBintoBinF(int32_t value, void* conversion) {
  (void)conversion;
  return value / 1000.0;
}

/* ---- Colour library ---- */

HBRUSH TD_CALL GetMMIBrush(int colour) {
  (void)colour;
  return NULL;
}
