// DAT_SetSection: the reader's handling of one section header line.
#ifndef TYPEDATA_DATAFILE_DAT_SET_SECTION_H
#define TYPEDATA_DATAFILE_DAT_SET_SECTION_H

namespace td::datafile {

// Sets up the section that the first token of a section header line names
// ("[D]", "[ S ]", "[V] trailing text"): the block of that kind in
// currentBlockTable, and with offline copies its twin, are released and
// replaced by fresh zero-filled blocks sized from the config's kind table,
// and currentSection with currentValueBlock or currentTextBlock point at
// the new block. A name that is not one of the capital letters D, S, A, L,
// V leaves everything as it was. recognised (when not null) tells the two
// apart.
//
// 0 when the section was set up or the line ignored; -1 when the first
// token has no ']', the config is unknown, or a block cannot be allocated
// (its slot is then null).
int DAT_SetSection(char** tokens, int configPosition, bool* recognised = nullptr);

}  // namespace td::datafile

#endif  // TYPEDATA_DATAFILE_DAT_SET_SECTION_H
