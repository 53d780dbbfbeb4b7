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

/* ---- Line scanning ------------------------------------------------------ */

/* The text's first character that is not white space, or its terminating
 * zero. The text is not changed. */
TD_EXPORT(char *) leading(char *text);

/* Cuts the text after its last character that is not white space and gives
 * a pointer to that character; for an empty or all-blank text, which it
 * leaves empty, the text's start. */
TD_EXPORT(char *) trailing(char *text);

/* leading, then trailing on what leading gave; gives the trimmed start. */
TD_EXPORT(char *) trim(char *text);

/* Cuts the text at its first "//". */
TD_EXPORT(void) CutComment(char *text);

/* Splits line (changed in place) at ',' and line feed, runs of separators
 * counting as one; trims each token and copies it into the buffer that the
 * next entry of table points to. The entry after the last token becomes
 * null, and the last token is cut at its first ';' and trimmed. 0, or -1 when
 * the line has 32 or more tokens (then the 32nd was copied and nothing is
 * cut or nulled). A line without tokens gives 0 with entry 0 null. Each
 * buffer must hold the longest token the line may carry. */
TD_EXPORT(int) token(char *line, char **table);

/* When source starts with a quotation mark, copies what follows up to the
 * next quotation mark (or, when there is none, to the source's end) into
 * destination with a terminating zero and gives the number of characters
 * copied; otherwise gives 0 and leaves destination alone. */
TD_EXPORT(int) quote(const char *source, char *destination);

/* Reads one record, which may go on over lines ending in ',', from stream and
 * adds it to the text in buffer (size bytes, at least 1), as far as it fits.
 * Comment and blank lines are passed over; lines are read whole. */
TD_EXPORT(void) append(FILE *stream, char *buffer, uint16_t size);

#endif /* TYPEDATA_DATAFILE_H */
