/*
 * Operations of the host's libraries that the service calls.
 *
 * A host provides all 25 of them as plain C functions, caller cleans the
 * stack. Where a 16-bit number travels in a 32-bit argument (type number,
 * config number, notice code), only its low 16 bits are defined.
 */
#ifndef TYPEDATA_HOST_HOST_H
#define TYPEDATA_HOST_HOST_H

#include <stdint.h>

#include "records.h"
#include "windows_types.h"

#ifdef _WIN32
#define TD_CALL __cdecl
#else
#define TD_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Structure library: the machine's records -------------------------- */

/* The system record; the same record on every call. */
SystemRecord* TD_CALL GetMMISystemStruc(void);
/* The type catalogue with its list of types. */
TypeCatalogue* TD_CALL GetMMITypeInfo(void);
/* -1 when no type has the number; else >= 0, the name copied into name (24
 * bytes) and the record stored into record, each when not null. */
int TD_CALL GetMMITypeNameAndStruc(int typeNo, char* name, TypeRecord** record);
/* The config index of config number configNo (from 1), -1 when none; the
 * record stored when config is not null. */
int TD_CALL SearchMMIConfigIndex(int configNo, ConfigRecord** config);
/* -1 when no config has the index, else the record stored. */
int TD_CALL GetMMIConfigStruc(int configIndex, ConfigRecord** config);
/* -1 when the item has no description, else its record stored. */
int TD_CALL GetCFGIDStruc(CfgId id, CfgIdRecord** record);
/* The config index of interface board boardCode (128 to 143), -1 when the
 * machine has no such board. The second argument is 0. */
int TD_CALL GetIFxxConfigIndex(int boardCode, int reserved);

/* ---- Shell library ----------------------------------------------------- */

/* Zero-filled global memory, null when memory is exhausted. Released with
 * GlobalHandle, GlobalUnlock and GlobalFree. */
void* TD_CALL MMI_GlobalAlloc(uint32_t size);
/* The kind code of a kind letter (D 0, S 1, A 4, L 5, V 6). */
int TD_CALL GetHAIndex(int kindLetter);
/* A Windows language identifier for the locale text: primary language in
 * the low 10 bits, sublanguage above. */
int TD_CALL GetLocaleID(const char* localeText);
/* Posts a message to a window; the result goes back to the caller. */
int TD_CALL MMIPostMessage(HWND window, int message, int wParam, int lParam);
/* Creates a combo box child window and returns its handle. */
HWND TD_CALL MakeComboBox(HWND parent, HINSTANCE instance, const char* text, uint32_t style, int x, int y,
                          int width, int height, int controlId);
/* The common font for a window's device context. */
HFONT TD_CALL SetCommonFontSize(HDC dc);

/* ---- Communication library --------------------------------------------- */

/* Non-zero when the HPC link is on line. */
int TD_CALL CheckHPCOnline(void);
/* Hands the new current type number to the HPC link. */
int TD_CALL SetHPCCommData(HWND window, CfgId id, uint16_t* typeNo);
/* Sends a type number to one interface board. */
int TD_CALL SendTypeCode(HWND window, int notice, int boardConfigIndex, int typeNo);
/* Reads an item's value in controller form from comm memory. The first
 * argument is 0. */
int TD_CALL GetCommData(int reserved, CfgId id, int32_t* value);
/* Queues an item's value for transfer to the controller. */
int TD_CALL SendComm(HWND window, int notice, CfgId id, int32_t value);
/* Queues a dummy read that closes a download step; it answers the window
 * with the notice code. */
int TD_CALL DummyRead0(HWND window, int notice, int configIndex);
/* Writes a value in controller form into comm memory. */
int TD_CALL SetDataToCommMem(CfgId id, int32_t* value);
/* Writes a value in controller form into the offline copy of comm memory. */
int TD_CALL SetDataToOfflineCommMem(CfgId id, int32_t* value);

/* ---- Conversion library ------------------------------------------------ */

/* The value in the controller's 32-bit form for the item. */
int32_t TD_CALL ConvertDoubleToMMIForm(double value, CfgId id);
/* A controller value as an integer, by the item's conversion descriptor. */
int32_t TD_CALL ConvertMMIBintoBinL(int32_t value, void* conversion);
/* A controller value as a double, by the item's conversion descriptor. */
double TD_CALL ConvertMMIBintoBinF(int32_t value, void* conversion);

/* ---- Colour library ---------------------------------------------------- */

/* A brush of the given colour number. */
HBRUSH TD_CALL GetMMIBrush(int colour);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* TYPEDATA_HOST_HOST_H */
