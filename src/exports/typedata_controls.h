/*
 * Type selection controls: the combo box in which the operator picks a
 * type, and a small downward arrow glyph.
 *
 * Every item of the combo box shows "%04d %s" (type number, blank, type
 * name) and carries the type number as its item data. The box is always
 * addressed through its parent window and dialog item identifier.
 */
#ifndef TYPEDATA_CONTROLS_H
#define TYPEDATA_CONTROLS_H

#include "typedata_api.h"

/* Creates the type combo box under parent (MakeComboBox with WS_VSCROLL |
 * CBS_DROPDOWNLIST, at x, y, width wide and nine item heights high; each of
 * the four taken as a signed 16-bit number), gives it the common font and
 * itemHeight for its selection field and its items, and fills it as
 * UpdateTypeComboList does. Gives the handle that MakeComboBox returned. */
TD_EXPORT(HWND)
MakeTypeComBoxSet(HWND parent, HINSTANCE instance, int x, int y, int width, int itemHeight, int controlId,
                  int skipCurrent);

/* Empties the combo box (parent, controlId) and lists the catalogue's
 * types in it: in the catalogue's order, or by name when the system
 * record's typeListOrder is 1 (the platform's sorted order, without regard
 * to case). skipCurrent 1, and only 1, leaves the current type out. */
TD_EXPORT(void) UpdateTypeComboList(HWND parent, HINSTANCE instance, int controlId, int skipCurrent);

/* Selects the first item of the combo box (parent, controlId) that carries
 * typeNo (its low 16 bits) and gives that number; -1, the selection left as
 * it was, when no item carries it. */
TD_EXPORT(int) SelectTypeComboList(HWND parent, int controlId, int typeNo);

/* Draws the downward arrow glyph into dc with the colour library's brush 0
 * and the pen already selected; its shaft spans x - 20 to x at y + 5 to
 * y + 10, its tip is at (x - 10, y + 20). x and y count by their low 16 bits,
 * unsigned. The brush selected before is selected again afterwards. */
TD_EXPORT(void) ArrowPictureWrite(HDC dc, int x, int y);

#endif /* TYPEDATA_CONTROLS_H */
