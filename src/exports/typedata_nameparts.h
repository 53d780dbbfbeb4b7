/*
 * Type-name parts and shared configs.
 *
 * A type name is made of up to three parts joined by "+" (and, in the
 * Japanese, Korean and Chinese settings, by the full-width plus of the
 * language's double-byte code page). A config bound to a part position
 * (its partNo) holds the same values for every type with the same text at
 * that position: its type data file is copied between those types.
 */
#ifndef TYPEDATA_NAMEPARTS_H
#define TYPEDATA_NAMEPARTS_H

#include "typedata_api.h"

/* ---- Type-name parts ----------------------------------------------------- */

/* The number of parts of name (1 to 3), with part number position (low 16
 * bits, from 1) copied into part (24 bytes, when not null); 0 for an empty
 * name, position 0 or a position beyond the parts (part untouched); -1 for
 * a malformed name: null, longer than 23 characters, a separator at the
 * start or the end, two in a row, more than three parts. Under a
 * double-byte code page a separator counts only where a character starts. */
TD_EXPORT(int) SeparateTypeName(const char* name, int position, char* part);

/* The number of the first type in list order whose name has exactly text
 * at position; -1 when none, or when a malformed name comes first. The
 * search rests on the type found, for NextSearchTypeNamePart. */
TD_EXPORT(int) FirstSearchTypeNamePart(const char* text, int position);

/* The next such type after the one where the last search stopped; -1 when
 * there is none. */
TD_EXPORT(int) NextSearchTypeNamePart(const char* text, int position);

/* Among positions 1 to namePartCount: -1 when some type has text at a
 * position other than position, else 1 when some type has it at position,
 * else 0. */
TD_EXPORT(int) CheckAlreadyExistTypeNamePart(const char* text, int position);

/* ---- Shared configs ----------------------------------------------------- */

/* 1 with the first config of configList bound to position (low 16 bits),
 * its file-name prefix copied into prefix (8 bytes); 0 when none (prefix
 * untouched). A config whose prefix is longer than 7 characters is passed
 * over. */
TD_EXPORT(int) GetFirstCommonCFG(int position, char* prefix);

/* 1 with the next such config after the last one given; 0 when none. */
TD_EXPORT(int) GetNextCommonCFG(int position, char* prefix);

/* Saves every config of the current type, then copies the type data files
 * of the configs bound to each of its name parts onto every other type that
 * has the same text at that position. 0 when no type carries the current
 * type number (nothing to save); -1 when a save fails (nothing is copied
 * then) or a type carries a current type number above 9999; 0 otherwise,
 * whether the copies succeeded or not. */
TD_EXPORT(int) SaveAllCurrentTypeData(void);

/* For type targetNo, about to be named newName: for each position where
 * newName's part differs from the name of type referenceNo, copies the type
 * data files of the configs bound to that position from the first type
 * that already has the new part. 0 (also when namePartCount is 0, or copies
 * fail); -1 when no type has referenceNo, targetNo is above 9999 or newName
 * is null or longer than 23 characters. */
TD_EXPORT(int) CopyTypeDataOfAlreadyExistPartName(int referenceNo, int targetNo, const char* newName);

#endif /* TYPEDATA_NAMEPARTS_H */
