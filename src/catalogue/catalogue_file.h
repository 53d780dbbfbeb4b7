// Rewriting the catalogue file: every change goes through one atomic
// replace of "..\type\<name>" by way of a new temporary file beside it.
#ifndef TYPEDATA_CATALOGUE_CATALOGUE_FILE_H
#define TYPEDATA_CATALOGUE_CATALOGUE_FILE_H

#include <functional>
#include <string>

#include "platform/text_file.h"

namespace td::catalogue {

inline constexpr char kTypeFolder[] = "..\\type\\";
// The fixed temporary name of earlier versions: a catalogue of that name
// may be a half-written leftover, so it is never taken as a catalogue.
inline constexpr char kFormerCatalogueTemp[] = "temp.typ";
// The name under which the updates reach the catalogue; the platform
// matches it to "mmi.typ" without regard to case.
inline constexpr char kCatalogueName[] = "MMI.TYP";

// Copies the catalogue's lines from in to out, changed as the edit wants.
// False gives the edit up (the catalogue then stays as it was).
using CatalogueEdit = std::function<bool(platform::LineReader& in, platform::TextWriter& out)>;

// Replaces the catalogue "..\type\<fileName>" by what edit writes. 0, or -1
// with the old catalogue whole and no temporary file left: a file name that
// is empty, has a folder part or is a temporary file's; a catalogue that
// cannot be read; any failure to write, flush or rename.
int RewriteCatalogue(const char* fileName, const CatalogueEdit& edit);

// The record text as it goes into the file: every line ended by '\n' (CR LF
// on disk), the last one too. False for a null or empty record.
bool RecordLines(const char* record, std::string* lines);

// A line whose first character that is not white space is '/'.
bool IsHeadingComment(const std::string& line);

}  // namespace td::catalogue

#endif  // TYPEDATA_CATALOGUE_CATALOGUE_FILE_H
