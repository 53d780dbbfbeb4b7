// A small host window on the simulated host: the type combo box, listing a
// sample catalogue by name and dropped down, and the arrow glyph pointing
// at it. Runs until closed, or for the number of seconds given.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "mmisim.h"
#include "typedata.h"

namespace {

constexpr int kTypeCombo = 100;
constexpr UINT_PTR kCloseTimer = 1;

const struct {
  int typeNo;
  const char* name;
} kCatalogue[] = {
    {12, "T40+STEEL+FAST"}, {3, "T40+ALU+SLOW"},    {7, "t25+steel+slow"}, {21, "T63+BRASS+FAST"},
    {5, "T25+ALU+FAST"},    {40, "T63+STEEL+SLOW"}, {9, "T40+BRASS+SLOW"}, {0, "SETUP"},
};

LRESULT CALLBACK DemoWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      SetBkMode(dc, TRANSPARENT);
      SelectObject(dc, SetCommonFontSize(dc));
      const char label[] = "Type for the next run:";
      TextOutA(dc, 24, 24, label, sizeof label - 1);
      // Its tip points down at the box below.
      ArrowPictureWrite(dc, 234, 18);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_TIMER:
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  mmisim::Machine machine = mmisim::SampleMachine();
  machine.typeListOrder = 1;  // by name
  mmisim::Start(machine);
  for (const auto& type : kCatalogue) mmisim::AddType(type.typeNo, type.name);
  GetMMISystemStruc()->currentTypeNo = 12;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DemoWindow;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "combo_demo";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "combo_demo", "Type selection", WS_OVERLAPPED | WS_CAPTION, 16, 16, 340,
                                280, nullptr, nullptr, instance, nullptr);
  if (!window) {
    std::fprintf(stderr, "combo_demo: no window\n");
    return 1;
  }

  MakeTypeComBoxSet(window, instance, 24, 48, 240, 20, kTypeCombo, 0);
  SelectTypeComboList(window, kTypeCombo, 12);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  if (argc > 1) SetTimer(window, kCloseTimer, static_cast<UINT>(std::atoi(argv[1]) * 1000), nullptr);
  SendDlgItemMessageA(window, kTypeCombo, CB_SHOWDROPDOWN, TRUE, 0);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  mmisim::Stop();
  return 0;
}
