/*
 * Type data lifecycle: value memory built from the defaults, and loaded
 * from a type's type data files.
 */
#ifndef TYPEDATA_LIFECYCLE_H
#define TYPEDATA_LIFECYCLE_H

#include "typedata_api.h"

/* Replaces the catalogue's list by one new record, type 0 (typeCount 1,
 * maxTypeNo 0), builds default values for every config, saves them with
 * SaveAllCurrentTypeData and writes the catalogue file "..\type\mmi.typ"
 * holding the one line "0, ". Each save writes its file anew from the
 * defaults (type 0's files from before are replaced, header lines and all);
 * the record's datNames are filled after the saves, so type 0 can be read
 * back at once.
 *
 * 0 when done. -1 with nothing changed when a config is unknown, a config's
 * prefix is too long for a file name, or memory runs out. -1 when a save
 * fails or the catalogue file cannot be written: the former list is put
 * back (typeList, typeCount, maxTypeNo as they were) and the catalogue file
 * is the former one, so list and file agree; type 0's files saved before
 * the failure hold the defaults. */
TD_EXPORT(int) CreateSetTypeData(void);

/* Builds default values for config position `position` of the record (a
 * table it held is abandoned) and saves that config of the current type
 * with SaveCurrentTypeData. 0, or -1 when the config is unknown, memory runs
 * out or the save fails. */
TD_EXPORT(int) InitialSetTypeData(TypeRecord* record, int position);

/* Reads every config of the type from its type data files, then writes its
 * D, S and A values to comm memory. 0; -1 when no type has the number or
 * the catalogue's typeRecordSize is too small for configCount entries; else
 * the config number of the first file that could not be read (comm memory
 * then untouched). */
TD_EXPORT(int) ReadCurrentTypeData(int typeNo);

/* Hands the old type's tables to the new type (both then share them) and
 * reads the new type with ReadCurrentTypeData, whose result it gives; -1
 * when either type has no record or the catalogue's typeRecordSize is too
 * small for configCount entries (nothing handed over then). */
TD_EXPORT(int) ChangeCurrentTypeData(int newTypeNo, int oldTypeNo);

#endif /* TYPEDATA_LIFECYCLE_H */
