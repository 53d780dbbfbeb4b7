/*
 * The type catalogue, the in-memory type list and type file copying.
 *
 * The catalogue file "..\type\mmi.typ" holds one record line per type,
 * "12,\"Name\"", behind any heading comment lines. It is never edited in
 * place: every change writes a new temporary file beside it, flushes it and
 * renames it over the catalogue, so that a failure leaves the old catalogue
 * whole.
 */
#ifndef TYPEDATA_CATALOGUE_H
#define TYPEDATA_CATALOGUE_H

#include "typedata_api.h"

/* ---- Type catalogue ----------------------------------------------------- */

/* Adds a type (newType's low 16 bits non-zero) or renames one (zero) in the
 * catalogue file "MMI.TYP" and in the type list. typeNo counts by its low
 * 16 bits. 0, or -1 with nothing changed: a name that is null, longer than
 * 23 characters or holds a quotation mark, a line end or "//"; a number
 * above 9999; a config prefix too long for a datName; a type to rename that
 * is not in the list; no memory; a failed catalogue update. */
TD_EXPORT(int) UpdateTypeFile(const char* name, int typeNo, int newType);

/* Writes record (one line; its line end may be left out) into the catalogue
 * "..\type\<fileName>" in front of the first line that is not a heading
 * comment line (a line whose first character that is not white space is
 * '/'), or at its end. Lines are kept whole and end in CR LF. 0, or -1 with
 * the catalogue unchanged. */
TD_EXPORT(int) Add_FileRec(const char* fileName, const char* record);

/* Rewrites the catalogue "..\type\<fileName>" with every line that is the
 * record of typeNo (SearchRec) replaced whole by record. 0 also when no
 * line matches; -1 with the catalogue unchanged. */
TD_EXPORT(int) Update_FileRec(const char* fileName, const char* record, int typeNo);

/* 1 when line, its comment cut off, is the record of typeNo (low 16 bits):
 * it is not blank, does not begin with '[' and its leading decimal number
 * (0 when it has none) equals the type number; else 0. line is not changed. */
TD_EXPORT(int) SearchRec(const char* line, int typeNo);

/* Puts a new TypeRecord for name and typeNo (low 16 bits) at the head of the
 * type list, with a datName for every config, and updates typeCount and
 * maxTypeNo. 0, or -1 with nothing changed: a name null or longer than 23
 * characters, a number above 9999, a prefix too long, no memory. */
TD_EXPORT(int) Type_Add(const char* name, int typeNo);

/* The lowest type number from 0 to 9999 that no TypeRecord of the list
 * holds; -1 when all are taken. */
TD_EXPORT(int) SearchTypeNo(void);

/* Writes the type data file name "<prefix><typeNo in four digits>.DAT" of
 * typeNo (low 16 bits) and the config at configPosition (from 0) into
 * destination (at least 16 bytes). 0, or -1 with destination untouched: no
 * such config, a prefix longer than 7 characters, a number above 9999. */
TD_EXPORT(int) MakeDatFileName(char* destination, int typeNo, int configPosition);

/* ---- Type file copying --------------------------------------------------- */

/* Copies the type data file source (e.g. "P0005.DAT", found in the folder
 * of the four digits in front of ".DAT") onto target in its type's folder,
 * byte for byte, replacing target atomically. makeFolder non-zero first
 * makes the target's type folder. 0 when copied, and when source and target
 * are the same file; -1 when the source cannot be read, the target cannot
 * be written, or a name is not a type data file name (at least 8
 * characters, four digits 8 before its end, no folder part). A failure
 * leaves the target as it was. */
TD_EXPORT(int) FileCopy(const char* source, const char* target, int makeFolder);

/* Copies the file at path source onto the path target byte for byte,
 * replacing target atomically, and gives target the times of source. 0, or
 * -1: nothing copied and target as it was, or (when only the times could
 * not be given) the content copied. */
TD_EXPORT(int) ExecCopy(const char* source, const char* target);

#endif /* TYPEDATA_CATALOGUE_H */
