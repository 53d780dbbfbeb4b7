// What the stand-ins for the Windows window and drawing calls share among
// themselves, where Windows is absent.
#ifndef MMISIM_LINUX_STAND_INS_H
#define MMISIM_LINUX_STAND_INS_H

#include <string>
#include <vector>

#include "windows_types.h"

namespace mmisim::standin {

// A fresh handle, unlike every handle given before (windows, device
// contexts and drawing objects share one numbering, as on Windows).
void* NewHandle();

bool IsWindow(HWND window);

// The height of a font's characters in pixels, 0 when it is no font.
int FontHeight(HGDIOBJ font);

// Compares two texts as the sorted combo box does: alphabetical without
// regard to letter case, punctuation before digits before letters, and
// hyphens and apostrophes weighed only between otherwise equal texts.
// Negative, 0 or positive.
int CompareForSorting(const std::string& a, const std::string& b);

struct ComboItem {
  std::string text;
  LPARAM data = 0;
};

// A drop-down list combo box and the messages it honours.
class ComboBox {
 public:
  explicit ComboBox(bool sorted) : sorted_(sorted) {}
  LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  int InsertionIndex(const std::string& text) const;
  bool Valid(WPARAM index) const;

  bool sorted_;
  std::vector<ComboItem> items_;
  int selection_ = CB_ERR;
  HFONT font_ = nullptr;
  int fieldHeight_ = 20;  // the selection field
  int itemHeight_ = 16;   // the items of the list
  bool droppedDown_ = false;
};

}  // namespace mmisim::standin

#endif  // MMISIM_LINUX_STAND_INS_H
