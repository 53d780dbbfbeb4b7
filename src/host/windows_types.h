/*
 * Windows handle types and the few Windows calls the service makes by name.
 *
 * On Windows these come from <windows.h>. Elsewhere this header declares
 * them, and the simulated host provides the calls (window table, device
 * contexts, global memory), so the service's code is the same on both.
 */
#ifndef TYPEDATA_HOST_WINDOWS_TYPES_H
#define TYPEDATA_HOST_WINDOWS_TYPES_H

#ifdef _WIN32
/* As the host's own settings have it: a host that wants the lean Windows
 * headers defines WIN32_LEAN_AND_MEAN before including typedata.h. */
#include <windows.h>
#else

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TD_DECLARE_HANDLE(name) \
  struct name##__ {             \
    int unused;                 \
  };                            \
  typedef struct name##__* name

TD_DECLARE_HANDLE(HWND);
TD_DECLARE_HANDLE(HDC);
TD_DECLARE_HANDLE(HINSTANCE);
TD_DECLARE_HANDLE(HFONT);
TD_DECLARE_HANDLE(HBRUSH);
TD_DECLARE_HANDLE(HPEN);
TD_DECLARE_HANDLE(HBITMAP);
typedef void* HGDIOBJ;
typedef void* HGLOBAL;
typedef void* HANDLE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uint32_t COLORREF;
typedef intptr_t LRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef const char* LPCSTR;

typedef struct tagPOINT {
  int32_t x;
  int32_t y;
} POINT;

#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_RESETCONTENT 0x014B
#define CB_GETCURSEL 0x0147
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_SETITEMHEIGHT 0x0153
#define CB_GETITEMHEIGHT 0x0154
#define CB_OKAY 0
#define CB_ERR (-1)
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_VSCROLL 0x00200000L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L

/* Window, drawing and global-memory calls, provided by the simulated host
 * where Windows is absent. */
LRESULT SendDlgItemMessageA(HWND dialog, int itemId, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
BOOL DestroyWindow(HWND window);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL Polygon(HDC dc, const POINT* points, int count);
HGLOBAL GlobalHandle(LPCVOID memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* _WIN32 */

#endif /* TYPEDATA_HOST_WINDOWS_TYPES_H */
