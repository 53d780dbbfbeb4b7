/*
 * Where Windows is absent, the host also provides the few window, drawing
 * and global-memory calls that the service makes (declared in
 * windows_types.h). This host has no windows; its global memory is the C
 * heap, as MMI_GlobalAlloc hands it out.
 */
#ifndef _WIN32
#include <stdlib.h>

#include <typedata/typedata.h>

LRESULT SendDlgItemMessageA(HWND dialog, int itemId, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)dialog, (void)itemId, (void)message, (void)wParam, (void)lParam;
  return CB_ERR;
}
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)window, (void)message, (void)wParam, (void)lParam;
  return CB_ERR;
}
HDC GetDC(HWND window) {
  (void)window;
  return NULL;
}
int ReleaseDC(HWND window, HDC dc) {
  (void)window, (void)dc;
  return 1;
}
BOOL DestroyWindow(HWND window) {
  (void)window;
  return 1;
}
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  (void)dc, (void)object;
  return NULL;
}
BOOL Polygon(HDC dc, const POINT* points, int count) {
  (void)dc, (void)points, (void)count;
  return 1;
}
HGLOBAL GlobalHandle(LPCVOID memory) { return (HGLOBAL)memory; }
BOOL GlobalUnlock(HGLOBAL memory) {
  (void)memory;
  return 0;
}
HGLOBAL GlobalFree(HGLOBAL memory) {
  free(memory);
  return NULL;
}
#else
typedef int minimal_host_uses_windows; /* Windows provides these calls */
#endif
