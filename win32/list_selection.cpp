#include "win32/list_selection.h"

#include <commctrl.h>

namespace pelvaro::win32 {

void ClearSelection(HWND list) {
  constexpr UINT kOneByOneAtMost = 64;
  if (ListView_GetSelectedCount(list) > kOneByOneAtMost) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    return;
  }
  for (int at = ListView_GetNextItem(list, -1, LVNI_SELECTED); at >= 0;
       at = ListView_GetNextItem(list, at, LVNI_SELECTED))
    ListView_SetItemState(list, at, 0, LVIS_SELECTED);
}

}  // namespace pelvaro::win32
