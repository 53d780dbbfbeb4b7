/*
 * Type data files and line scanning.
 *
 * Every text file of the service is read with the line utilities: comments
 * begin at "//", and white space is exactly the characters 32 and 9 to 13.
 */
#ifndef TYPEDATA_DATAFILE_H
#define TYPEDATA_DATAFILE_H

#include <stdint.h>
#include <stdio.h>

#include "typedata_api.h"

/* ---- Type data files --------------------------------------------------- */

/* Writes the type data file "..\type\%04d\<datName>" of the current type
 * for the config at configPosition (config number - 1). A file made anew
 * (named from the config's prefix and the type number) takes every value
 * from the blocks; an existing file keeps its header lines and takes the D,
 * S and A values from comm memory. The file is replaced atomically through
 * a new temporary file: on any failure the old file stays as it was. 0 when written,
 * and when there is no current type; -1 when the config is unknown or the
 * file cannot be written. */
TD_EXPORT(int) SaveCurrentTypeData(int configPosition);

/* Reads the type data file "..\type\%04d\<fileName>" of type into the
 * blocks of its entry at configPosition: each section replaces the block of
 * its kind (and its offline twin) by a fresh one that its items fill, each
 * value at its item number minus 1. 0 when the file was read to its end; -1
 * when it cannot be opened or read, memory is exhausted, the config is
 * unknown, a section header line is malformed, or an item number lies
 * beyond the block's spare place. */
TD_EXPORT(int) DAT_fread(const char* fileName, int configPosition, TypeRecord* type);

/* ---- Line scanning ------------------------------------------------------ */

/* The text's first character that is not white space, or its terminating
 * zero. The text is not changed. */
TD_EXPORT(char*) leading(char* text);

/* Cuts the text after its last character that is not white space and gives
 * a pointer to that character; for an empty or all-blank text, which it
 * leaves empty, the text's start. */
TD_EXPORT(char*) trailing(char* text);

/* leading, then trailing on what leading gave; gives the trimmed start. */
TD_EXPORT(char*) trim(char* text);

/* Cuts the text at its first "//". */
TD_EXPORT(void) CutComment(char* text);

/* Splits line (changed in place) at ',' and line feed, runs of separators
 * counting as one; trims each token and copies it into the buffer that the
 * next entry of table points to. The entry after the last token becomes
 * null, and the last token is cut at its first ';' and trimmed. 0, or -1 when
 * the line has 32 or more tokens (then the 32nd was copied and nothing is
 * cut or nulled). A line without tokens gives 0 with entry 0 null. Each
 * buffer must hold the longest token the line may carry. */
TD_EXPORT(int) token(char* line, char** table);

/* When source starts with a quotation mark, copies what follows up to the
 * next quotation mark (or, when there is none, to the source's end) into
 * destination with a terminating zero and gives the number of characters
 * copied; otherwise gives 0 and leaves destination alone. */
TD_EXPORT(int) quote(const char* source, char* destination);

/* Reads one record, which may go on over lines ending in ',', from stream and
 * adds it to the text in buffer (size bytes, at least 1), as far as it fits.
 * Comment and blank lines are passed over; lines are read whole. */
TD_EXPORT(void) append(FILE* stream, char* buffer, uint16_t size);

#endif /* TYPEDATA_DATAFILE_H */
