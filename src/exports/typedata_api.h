/*
 * Calling convention of the service's exported operations: plain C, the
 * caller cleans the stack.
 */
#ifndef TYPEDATA_API_H
#define TYPEDATA_API_H

#include "host.h"
#include "typedata_version.h"

/* Every exported operation is declared with TD_EXPORT: C linkage and the
 * cdecl convention (the exports carry their plain names via the .def). */
#ifdef __cplusplus
#define TD_EXTERN_C extern "C"
#else
#define TD_EXTERN_C extern
#endif
/* Where symbols are hidden by default (the Linux shared library), the
 * exported operations alone are made visible. */
#if defined(__GNUC__) && !defined(_WIN32)
#define TD_VISIBLE __attribute__((visibility("default")))
#else
#define TD_VISIBLE
#endif
#define TD_EXPORT(result) TD_EXTERN_C TD_VISIBLE result TD_CALL

#endif /* TYPEDATA_API_H */
