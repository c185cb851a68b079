#include "win32/list_selection.h"

#include <commctrl.h>

namespace pelvaro::win32 {

void ClearSelection(HWND list, bool focusToo) {
  constexpr UINT kOneByOneAtMost = 64;
  const UINT mask = LVIS_SELECTED | (focusToo ? LVIS_FOCUSED : 0u);
  if (ListView_GetSelectedCount(list) > kOneByOneAtMost) {
    ListView_SetItemState(list, -1, 0, mask);
    return;
  }
  for (int at = ListView_GetNextItem(list, -1, LVNI_SELECTED); at >= 0;
       at = ListView_GetNextItem(list, at, LVNI_SELECTED))
    ListView_SetItemState(list, at, 0, mask);
  if (focusToo) {
    const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused >= 0) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
  }
}

}  // namespace pelvaro::win32
