// The window table where Windows is absent: top-level windows, combo box
// children, and the window calls that the service makes by their Windows
// names. Children are kept in the order they were made, which is the order
// in which Windows finds a dialog item among children of the same id.
#include <cstdint>
#include <map>
#include <memory>

#include "../state.h"
#include "stand_ins.h"

namespace mmisim {
namespace standin {
namespace {

struct Window {
  HWND parent = nullptr;
  std::string className;
  std::string text;
  std::uint32_t style = 0;
  int controlId = 0;
  HFONT font = nullptr;
  std::unique_ptr<ComboBox> comboBox;  // for "COMBOBOX" windows
};

// Handles grow with every window made, so the map keeps creation order.
std::map<std::uintptr_t, Window>& Windows() {
  static std::map<std::uintptr_t, Window> windows;
  return windows;
}

Window* Find(HWND window) {
  const auto found = Windows().find(reinterpret_cast<std::uintptr_t>(window));
  return found == Windows().end() ? nullptr : &found->second;
}

HWND MakeWindow(Window window) {
  HWND handle = static_cast<HWND>(NewHandle());
  Windows().emplace(reinterpret_cast<std::uintptr_t>(handle), std::move(window));
  return handle;
}

void Destroy(std::uintptr_t handle) {
  std::vector<std::uintptr_t> children;
  for (const auto& [child, window] : Windows()) {
    if (reinterpret_cast<std::uintptr_t>(window.parent) == handle) children.push_back(child);
  }
  for (std::uintptr_t child : children) Destroy(child);
  Windows().erase(handle);
}

}  // namespace

void* NewHandle() {
  static std::uintptr_t next = 0x10000;
  next += 4;
  return reinterpret_cast<void*>(next);
}

bool IsWindow(HWND window) { return Find(window) != nullptr; }

}  // namespace standin

HWND CreateComboBoxWindow(HWND parent, HINSTANCE /*instance*/, const char* text, std::uint32_t style,
                          int /*x*/, int /*y*/, int /*width*/, int /*height*/, int controlId) {
  if (!standin::Find(parent)) return nullptr;  // a child needs a parent
  standin::Window window;
  window.parent = parent;
  window.className = "COMBOBOX";
  window.text = text ? text : "";
  window.style = WS_CHILD | WS_VISIBLE | style;
  window.controlId = controlId;
  window.comboBox = std::make_unique<standin::ComboBox>((style & CBS_SORT) != 0);
  return standin::MakeWindow(std::move(window));
}

HWND CreateParentWindow(const char* title, int /*width*/, int /*height*/) {
  standin::Window window;
  window.className = "mmisim_parent";
  window.text = title ? title : "";
  return standin::MakeWindow(std::move(window));
}

int ChildWindowCount(HWND window) {
  int count = 0;
  for (const auto& entry : standin::Windows()) {
    if (entry.second.parent == window) ++count;
  }
  return count;
}

}  // namespace mmisim

extern "C" {

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  mmisim::standin::Window* found = mmisim::standin::Find(window);
  if (!found) return 0;
  if (found->comboBox) return found->comboBox->Message(message, wParam, lParam);
  if (message == WM_SETFONT) found->font = reinterpret_cast<HFONT>(wParam);
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(found->font);
  return 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int itemId, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const auto& [handle, window] : mmisim::standin::Windows()) {
    if (window.parent == dialog && window.controlId == itemId && dialog) {
      return SendMessageA(reinterpret_cast<HWND>(handle), message, wParam, lParam);
    }
  }
  return 0;  // no such dialog item
}

BOOL DestroyWindow(HWND window) {
  if (!mmisim::standin::Find(window)) return 0;
  mmisim::standin::Destroy(reinterpret_cast<std::uintptr_t>(window));
  return 1;
}

}  // extern "C"
