// The sprite list: a virtual report list view. Nothing is inserted row by
// row; the list is told how many rows there are, and formats the cells it
// draws from the archive when it asks for them, so 65,535 rows show at once.
// Its current row is the row with the focus; the viewer follows it.

#include "win32/main_window.h"

#include "sff/sprite_rows.h"
#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <array>

namespace pelvaro::win32 {
namespace {

// Column widths in twips; SortNo and SortKey exist, ordered by, but unseen.
constexpr std::array<int, sff::kColumnCount> kColumnTwips{0, 900, 900, 800, 0, 700, 2500};

bool IsHiddenColumn(int column) {
  return column >= 0 && column < sff::kColumnCount && kColumnTwips[static_cast<std::size_t>(column)] == 0;
}

}  // namespace

void MainWindow::BuildList() {
  // The program never sorts: a click on the header does nothing.
  constexpr DWORD kStyle = LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
                           WS_TABSTOP;
  lstFiles_ = MakeChild(window_, WC_LISTVIEWW, L"", kStyle, {120, 480, 6135, 2175}, kLstFiles, WS_EX_CLIENTEDGE);
  SendMessageW(lstFiles_, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont(kArial, 8.25)), FALSE);
  ListView_SetExtendedListViewStyle(lstFiles_, LVS_EX_FULLROWSELECT);
  for (int column = 0; column < sff::kColumnCount; ++column) {
    std::wstring caption = Widen(sff::kColumnCaptions[static_cast<std::size_t>(column)]);
    LVCOLUMNW entry{};
    entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    entry.fmt = LVCFMT_LEFT;
    entry.cx = Px(kColumnTwips[static_cast<std::size_t>(column)]);
    entry.pszText = caption.data();
    entry.iSubItem = column;
    ListView_InsertColumn(lstFiles_, column, &entry);
  }
}

void MainWindow::FillList(const sff::Archive* archive) {
  listed_ = archive;
  // No row is current in a list filled anew.
  ListView_SetItemState(lstFiles_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(lstFiles_, archive ? static_cast<int>(archive->RowCount()) : 0, 0);
  InvalidateRect(lstFiles_, nullptr, TRUE);
}

std::optional<std::size_t> MainWindow::CurrentRow() const {
  if (!listed_ || !lstFiles_) return std::nullopt;
  const int row = ListView_GetNextItem(lstFiles_, -1, LVNI_FOCUSED);
  if (row < 0 || static_cast<std::size_t>(row) >= listed_->RowCount()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

LRESULT MainWindow::ListNotify(const NMHDR& header) {
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& shown = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
      if (!(shown.mask & LVIF_TEXT) || !shown.pszText || shown.cchTextMax <= 0) return 0;
      shown.pszText[0] = L'\0';
      if (!listed_ || shown.iItem < 0 || static_cast<std::size_t>(shown.iItem) >= listed_->RowCount() ||
          shown.iSubItem < 0 || shown.iSubItem >= sff::kColumnCount)
        return 0;
      const std::wstring text = Widen(sff::CellText(*listed_, static_cast<std::size_t>(shown.iItem),
                                                    static_cast<sff::Column>(shown.iSubItem)));
      const auto room = static_cast<std::size_t>(shown.cchTextMax - 1);
      shown.pszText[text.copy(shown.pszText, room)] = L'\0';
      return 0;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (!(change.uChanged & LVIF_STATE) || !((change.uNewState ^ change.uOldState) & LVIS_FOCUSED)) return 0;
      // A step takes the focus from one row and then gives it to the next:
      // the viewer follows the row that gets it, and only when no row has it
      // once the list has settled does it show that none is current.
      if (change.uNewState & LVIS_FOCUSED) {
        commands_.FollowRow(CurrentRow());
      } else {
        PostMessageW(window_, kFollowWhenSettled, 0, 0);
      }
      return 0;
    }
    case NM_DBLCLK: {
      // On a row only: a double-click below the last row opens nothing.
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (click.iItem >= 0) commands_.OpenViewer(CurrentRow());
      return 0;
    }
    case NM_RETURN: commands_.OpenViewer(CurrentRow()); return 0;
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA: {
      // A hidden column stays closed: dragging its edge would only open it.
      const auto& track = reinterpret_cast<const NMHEADERW&>(header);
      return IsHiddenColumn(track.iItem) ? TRUE : FALSE;
    }
    default: return 0;
  }
}

}  // namespace pelvaro::win32
