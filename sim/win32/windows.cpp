// Windows of the shell library on Windows: real combo boxes, and the
// parent windows and child counts that tests use.
#include "../state.h"

namespace mmisim {
namespace {

constexpr const char* kParentClass = "mmisim_parent";

bool RegisterParentClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kParentClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

BOOL CALLBACK CountChild(HWND child, LPARAM context) {
  auto* count = reinterpret_cast<std::pair<HWND, int>*>(context);
  // EnumChildWindows walks grandchildren too; count the direct ones.
  if (GetParent(child) == count->first) ++count->second;
  return TRUE;
}

}  // namespace

HWND CreateComboBoxWindow(HWND parent, HINSTANCE instance, const char* text, std::uint32_t style, int x,
                          int y, int width, int height, int controlId) {
  return CreateWindowExA(0, "COMBOBOX", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
}

HWND CreateParentWindow(const char* title, int width, int height) {
  if (!RegisterParentClass()) return nullptr;
  return CreateWindowExA(0, kParentClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, width,
                         height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

int ChildWindowCount(HWND window) {
  std::pair<HWND, int> count{window, 0};
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
  return count.second;
}

}  // namespace mmisim
