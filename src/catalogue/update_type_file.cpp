// UpdateTypeFile: adds or renames a type in the catalogue file and in the
// type list together. Everything that can be refused is refused before the
// file is touched, and the new TypeRecord is made before the file is
// written, so the file and the list never disagree after a failure.
#include <cstdio>
#include <cstring>

#include "catalogue/catalogue_file.h"
#include "catalogue/type_record.h"
#include "host/host.h"
#include "typedata_catalogue.h"

namespace {

// A name that a record line can hold and the catalogue give back: a
// quotation mark would end the quoted name early, a line end would start a
// line of its own, and "//" would be cut off as a comment when read.
bool StorableInRecordLine(const char* name) {
  return std::strpbrk(name, "\"\r\n") == nullptr && std::strstr(name, "//") == nullptr;
}

int AddType(const char* name, std::uint16_t number, const char* record) {
  TypeCatalogue* catalogue = GetMMITypeInfo();
  if (catalogue == nullptr || !td::catalogue::PrefixesFit(*catalogue)) return -1;
  TypeRecord* type = td::catalogue::NewTypeRecord(*catalogue, name, number);
  if (type == nullptr) return -1;
  if (Add_FileRec(td::catalogue::kCatalogueName, record) != 0) {
    td::catalogue::ReleaseTypeRecord(type);
    return -1;
  }
  td::catalogue::PushTypeRecord(catalogue, type);
  return 0;
}

int RenameType(const char* name, std::uint16_t number, const char* record) {
  TypeRecord* type = nullptr;
  if (GetMMITypeNameAndStruc(number, nullptr, &type) < 0 || type == nullptr) return -1;
  if (Update_FileRec(td::catalogue::kCatalogueName, record, number) != 0) return -1;
  std::memcpy(type->name, name, std::strlen(name) + 1);
  return 0;
}

}  // namespace

int UpdateTypeFile(const char* name, int typeNo, int newType) {
  std::uint16_t number = 0;
  if (!td::catalogue::FitsTypeName(name) || !td::catalogue::TypeNumberOf(typeNo, &number) ||
      !StorableInRecordLine(name)) {
    return -1;
  }
  char record[TD_TYPE_NAME_SIZE + 16];
  std::snprintf(record, sizeof record, "%u,\"%s\"\n", static_cast<unsigned>(number), name);
  return (newType & 0xFFFF) != 0 ? AddType(name, number, record) : RenameType(name, number, record);
}
