/*
 * typedata.h: the type-data service of the operator interface.
 *
 * A host program includes this header alone. It declares
 *   - the records that the host's structure library and the service share
 *     (records.h; their layouts are fixed to the byte in a 32-bit process),
 *   - the host library operations that a host must provide (host.h),
 *   - the service's exported operations, by subsystem.
 *
 * Compiles as C99 and as C++.
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
