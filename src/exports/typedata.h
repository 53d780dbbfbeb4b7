/*
 * typedata.h: the type-data service of the operator interface.
 *
 * A host program includes this header alone, as <typedata/typedata.h>
 * with the folder that holds typedata/ on its include path (the headers in
 * typedata/ include each other by their plain names). It declares
 *   - the records that the host's structure library and the service share
 *     (records.h; their layouts are fixed to the byte in a 32-bit process),
 *   - the host library operations that a host must provide (host.h),
 *   - the service's exported operations, by subsystem.
 *
 * Compiles as C99 and as C++, also with -pedantic -Werror. On Windows it
 * includes <windows.h> as the host has set it up (WIN32_LEAN_AND_MEAN is
 * the host's to define).
 *
 * Files. Every file lives under "..\type\" relative to the current
 * directory. Names are matched without regard to letter case; a name that
 * matches two entries of one folder that way ("mmi.typ" beside "MMI.TYP")
 * makes the operation fail rather than pick one. A file is never rewritten
 * in place: the new content goes to a new temporary file in the same folder,
 * named "~td", eight hexadecimal digits and ".tmp" and created exclusively
 * without following symbolic links, which is flushed and renamed over the
 * old file. An operation never truncates, replaces or removes a file that it
 * did not create, but for the file it replaces. A temporary file of that
 * pattern found later is a leftover of an interrupted operation.
 *
 * Failures. After an operation gives -1 because a file operation failed,
 * errno (POSIX) or GetLastError() (Windows) holds the reason that the
 * failing system call set; the service's clean-up does not overwrite it.
 * A name that matches two entries sets ENOTUNIQ on POSIX.
 *
 * Names. The exported names (those of typedata.def: token, trim, leading,
 * ..., DAT_fread, ...) are the library's. The shared library and the DLL
 * call their own functions under those names even where the host defines
 * a function of the same name. A host that links the static library must
 * not define any of them: its own trim would clash with the library's at
 * link time, or replace it inside the library.
 */
#ifndef TYPEDATA_H
#define TYPEDATA_H

#include "host.h"
#include "records.h"
#include "typedata_api.h"
#include "typedata_catalogue.h"
#include "typedata_controls.h"
#include "typedata_datafile.h"
#include "typedata_lifecycle.h"
#include "typedata_link.h"
#include "typedata_nameparts.h"

#endif /* TYPEDATA_H */
