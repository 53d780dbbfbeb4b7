// Checks and steps shared by Type_Add and UpdateTypeFile: a new type is
// checked and its TypeRecord made whole before anything is changed, so a
// refusal leaves the catalogue file and the type list as they were.
#ifndef TYPEDATA_CATALOGUE_TYPE_RECORD_H
#define TYPEDATA_CATALOGUE_TYPE_RECORD_H

#include <cstdint>

#include "model/records.h"

namespace td::catalogue {

// A name that fits a TypeRecord's name field: not null, at most 23
// characters.
bool FitsTypeName(const char* name);

// The low 16 bits of typeNo when they are a type number (0 to 9999).
bool TypeNumberOf(int typeNo, std::uint16_t* number);

// True when the prefix of every config of the catalogue fits a datName, so
// that MakeDatFileName cannot fail for a config that exists.
bool PrefixesFit(const TypeCatalogue& catalogue);

// A zero-filled TypeRecord with name, typeNo and every datName set, not yet
// in the list; null when memory is exhausted.
TypeRecord* NewTypeRecord(const TypeCatalogue& catalogue, const char* name, std::uint16_t typeNo);

// Puts the record at the head of the list; typeCount and maxTypeNo follow.
void PushTypeRecord(TypeCatalogue* catalogue, TypeRecord* record);

// Gives back a record that never reached the list.
void ReleaseTypeRecord(TypeRecord* record);

}  // namespace td::catalogue

#endif  // TYPEDATA_CATALOGUE_TYPE_RECORD_H
