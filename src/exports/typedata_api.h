/*
 * Calling convention of the service's exported operations: plain C, the
 * caller cleans the stack.
 */
#ifndef TYPEDATA_API_H
#define TYPEDATA_API_H

#include "host.h"

/* Every exported operation is declared with TD_EXPORT: C linkage and the
 * cdecl convention (the exports carry their plain names via the .def). */
#ifdef __cplusplus
#define TD_EXTERN_C extern "C"
#else
#define TD_EXTERN_C extern
#endif
#define TD_EXPORT(result) TD_EXTERN_C result TD_CALL

#endif /* TYPEDATA_API_H */
