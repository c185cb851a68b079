#pragma once

// Clearing a list view's selection without a visit to every item.

#include <windows.h>

namespace pelvaro::win32 {

// Takes the selection from the items that have it. ListView_SetItemState
// with -1 does that in one message, but
// Wine's list view then visits and redraws every item: in a list of a
// thousand rows, more than a step through the rows may take. A handful of
// selected items are cleared one by one; a larger selection all at once.
void ClearSelection(HWND list);

}  // namespace pelvaro::win32
