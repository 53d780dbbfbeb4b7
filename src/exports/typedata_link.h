/*
 * Controller link: the current type switch, the stepwise download of a
 * type's values, and comm memory with its offline copies.
 */
#ifndef TYPEDATA_LINK_H
#define TYPEDATA_LINK_H

#include "typedata_api.h"

/* ---- Current type switch ------------------------------------------------ */

/* Makes type typeNo current (its number and name into the system record),
 * hands its number to the HPC link when that is on line, then by the low 16
 * bits of target: 0xFFFF sends the type code to every present interface
 * board (typeCodeNotice with the last; with no board present, the download
 * of every config starts instead); 128 to 143 sends it to that board and
 * gives SendTypeCode's result, or -1 without a call when the board is not
 * present; any other value starts the download of the config whose config
 * index it is. -1 when no type has the number: nothing changed or sent. */
TD_EXPORT(int)
UpdateCurrentType(HWND window, int typeNo, int typeCodeNotice, int stepNotice, int endCode, int target);

/* ---- Stepwise download -------------------------------------------------- */

/* Starts the download of the current type and makes its first step. Each
 * step queues every D, S and A item in use of one config, with its value
 * from comm memory, by one SendComm(window, itemNotice, item, value) each,
 * and ends with a dummy read answered to window with stepNotice; the host
 * then calls SendCurrentTypeData for the next step with the same
 * arguments. When no config is left, message code 7 with the low 16 bits
 * of endCode is posted to window. configFilter's low 16 bits: 0xFFFF every
 * config, else only the config with that config index. The result is that
 * of the last host call: DummyRead0 or MMIPostMessage.
 *
 * itemNotice is the notice code handed unchanged to the communication
 * library's SendComm with every item of the download; the service neither
 * waits for nor reads an answer to it. What the library does with it is the
 * host's own (a library that reports each item's transfer to window would
 * send the report with this code). UpdateCurrentType passes 0xFFFF, as it
 * gives SendTypeCode for every interface board but the last. Only the
 * answer with stepNotice paces the download; the host integration guide's
 * call order shows the messages in turn. */
TD_EXPORT(int)
InitSendCurrentTypeData(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter);

/* The next step of the download (see InitSendCurrentTypeData). Before any
 * download was started it posts the end message and touches no record. */
TD_EXPORT(int)
SendCurrentTypeData(HWND window, int itemNotice, int stepNotice, int endCode, int configFilter);

/* ---- Comm memory and offline copies ------------------------------------- */

/* Writes every D, S and A item in use of the type, for all configs, in the
 * controller's form into comm memory. 0 (also for a null record); -1 with
 * nothing written when the host gives no catalogue or its typeRecordSize
 * is too small for configCount entries. */
TD_EXPORT(int) SetCurrentTypeDataToCommMem(TypeRecord* typeRecord);

/* For the config with this config index, of the current type: copies the D
 * and S values of the items in use into their offline twins. 0, or -1 when
 * the config, its number, the current type or its table is missing. */
TD_EXPORT(int) CopyCurrentTypeDataToOffline(int configIndex);

/* For the config with this config index, of the current type: copies the V
 * texts of the items in use, each with its terminator, into their offline
 * twin. 0, also when the type has no V block or no offline V twin for the
 * config (nothing copied); -1 with nothing copied when the config, its
 * number, the current type or its table is missing. */
TD_EXPORT(int) CopyCurrentTypeImageToOffline(int configIndex);

/* Resets the offline twins of the config: D and S items to their defaults
 * (0.0 for items not in use), each also written to the offline comm memory;
 * every V text to empty. 0, or -1 as for CopyCurrentTypeDataToOffline. */
TD_EXPORT(int) ClearOfflineTypeData(int configIndex);

#endif /* TYPEDATA_LINK_H */
