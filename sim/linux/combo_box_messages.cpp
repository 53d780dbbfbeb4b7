// The messages that a drop-down list combo box honours, with Windows'
// results: item indexes, CB_ERR for an index that names no item.
#include <cstring>

#include "stand_ins.h"

namespace mmisim::standin {

bool ComboBox::Valid(WPARAM index) const { return index < items_.size(); }

// Where a sorted box puts a new text: a binary search that stops at the
// first equal text it meets and puts the new one before it.
int ComboBox::InsertionIndex(const std::string& text) const {
  if (!sorted_) return static_cast<int>(items_.size());
  int low = 0;
  int high = static_cast<int>(items_.size()) - 1;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const int order = CompareForSorting(items_[static_cast<std::size_t>(middle)].text, text);
    if (order == 0) return middle;
    if (order > 0) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

LRESULT ComboBox::Message(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT: {
      // A new font sets both heights from its characters.
      font_ = reinterpret_cast<HFONT>(wParam);
      const int height = FontHeight(font_);
      if (height > 0) {
        itemHeight_ = height + 2;
        fieldHeight_ = height + 6;
      }
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case CB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      const int index = InsertionIndex(text ? text : "");
      items_.insert(items_.begin() + index, ComboItem{text ? text : "", 0});
      if (selection_ >= index) ++selection_;
      return index;
    }
    case CB_GETCOUNT:
      return static_cast<LRESULT>(items_.size());
    case CB_RESETCONTENT:
      items_.clear();
      selection_ = CB_ERR;
      return CB_OKAY;
    case CB_SETCURSEL:
      // An index that names no item (-1 among them) clears the selection.
      selection_ = Valid(wParam) ? static_cast<int>(wParam) : CB_ERR;
      return selection_;
    case CB_GETCURSEL:
      return selection_;
    case CB_GETITEMDATA:
      return Valid(wParam) ? items_[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
      if (!Valid(wParam)) return CB_ERR;
      items_[wParam].data = lParam;
      return 1;
    case CB_SETITEMHEIGHT: {
      const auto index = static_cast<int>(wParam);
      const auto height = static_cast<int>(lParam);
      if (index == -1 && height > 0 && height < 32768) {
        fieldHeight_ = height;
        return CB_OKAY;
      }
      if (index >= 0 && height > 0 && height <= 255) {
        itemHeight_ = height;  // every item of the list has this height
        return CB_OKAY;
      }
      return CB_ERR;
    }
    case CB_GETITEMHEIGHT: {
      const auto index = static_cast<int>(wParam);
      if (index == -1) return fieldHeight_;
      return index >= 0 ? itemHeight_ : CB_ERR;
    }
    case CB_GETLBTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!Valid(wParam) || !buffer) return CB_ERR;
      const std::string& text = items_[wParam].text;
      std::memcpy(buffer, text.c_str(), text.size() + 1);
      return static_cast<LRESULT>(text.size());
    }
    case CB_GETLBTEXTLEN:
      return Valid(wParam) ? static_cast<LRESULT>(items_[wParam].text.size()) : CB_ERR;
    case CB_SHOWDROPDOWN:
      droppedDown_ = wParam != 0;
      return 1;
    default:
      return 0;
  }
}

}  // namespace mmisim::standin
