// Where type data files live: "..\type\%04d\%s", relative to the host
// process's current directory.
#ifndef TYPEDATA_DATAFILE_TYPE_DATA_PATHS_H
#define TYPEDATA_DATAFILE_TYPE_DATA_PATHS_H

#include <cstddef>
#include <string>

namespace td::datafile {

// "..\type"
std::string TypeRoot();
// "..\type\0012" for type 12.
std::string TypeFolder(int typeNo);
// "..\type\0012\CF0012.DAT" for type 12 and the file name CF0012.DAT.
std::string TypeDataPath(int typeNo, const std::string& fileName);
// The name of a type data file made anew: the config's prefix, the type
// number in four digits, ".DAT" ("CF0012.DAT").
std::string NewTypeDataFileName(const std::string& prefix, int typeNo);

// The length of a text held in a field of size bytes, which need not be
// terminated: strnlen, never reading past the field.
std::size_t FieldLength(const char* field, std::size_t size);

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_TYPE_DATA_PATHS_H
