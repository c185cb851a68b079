#include "win32/browser_panel.h"

#include "commands/browser_texts.h"
#include "sff/sprite_rows.h"
#include "win32/fonts.h"
#include "win32/geometry.h"
#include "win32/list_selection.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <utility>

namespace pelvaro::win32 {
namespace {

int Scaled(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

std::wstring TextOfControl(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetText(HWND control, const std::string& text) {
  const std::wstring wide = Widen(text);
  if (TextOfControl(control) != wide) SetWindowTextW(control, wide.c_str());
}

void Copy(NMLVDISPINFOW& shown, const std::string& text) {
  const std::wstring wide = Widen(text);
  const auto room = static_cast<std::size_t>(shown.item.cchTextMax - 1);
  shown.item.pszText[wide.copy(shown.item.pszText, room)] = L'\0';
}

template <std::size_t N>
void AddColumns(HWND list, const std::array<const char*, N>& captions, const std::array<int, N>& widths, int format) {
  for (std::size_t i = 0; i < N; ++i) {
    std::wstring caption = Widen(captions[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = Scaled(widths[i]);
    column.pszText = caption.data();
    column.iSubItem = static_cast<int>(i);
    ListView_InsertColumn(list, static_cast<int>(i), &column);
  }
}

std::wstring Trimmed(const std::wstring& text) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\x3000'; };
  std::size_t begin = 0, end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

BrowserPanel::BrowserPanel(HWND parent, commands::MainCommands& commands)
    : parent_(parent), thumbs_(parent, kPicThumbs), commands_(commands) {
  unreadableBrush_ = CreateSolidBrush(kUnreadableBackground);
  BuildControls();
}

BrowserPanel::~BrowserPanel() {
  if (tips_) DestroyWindow(tips_);
  if (smallThumbnails_) ImageList_Destroy(smallThumbnails_);
  if (unreadableBrush_) DeleteObject(unreadableBrush_);
}

void BrowserPanel::BuildControls() {
  const HFONT font = WindowFont(kMsPGothic, 9);
  const auto make = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0) {
    return MakeChildToPlace(parent_, windowClass, text, style, id, font, exStyle);
  };
  filter_ = make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kTxtFilter, WS_EX_CLIENTEDGE);
  SendMessageW(filter_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(Widen(commands::FilterPlaceholder()).c_str()));
  make(L"STATIC", L"", SS_RIGHT | SS_NOPREFIX | SS_CENTERIMAGE, kLblCount);
  make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kLblFilterNote);

  constexpr DWORD kList = LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP;
  groups_ = make(WC_LISTVIEWW, L"", kList | LVS_SINGLESEL, kLstGroups, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(groups_, LVS_EX_FULLROWSELECT);
  AddColumns(groups_, commands::kGroupColumnCaptions, std::array<int, 3>{62, 46, 50}, LVCFMT_RIGHT);
  items_ = make(WC_LISTVIEWW, L"", kList, kLstItems, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(items_, LVS_EX_FULLROWSELECT);
  AddColumns(items_, commands::kGroupRowColumnCaptions, std::array<int, 4>{64, 52, 52, 150}, LVCFMT_LEFT);
  smallThumbnails_ = ImageList_Create(SmallThumbnailSize(), SmallThumbnailSize(), ILC_COLOR32, 16, 16);
  ListView_SetImageList(items_, smallThumbnails_, LVSIL_SMALL);
  SendMessageW(thumbs_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  thumbs_.onClick = [this](std::size_t index, bool control, bool shift) { ThumbnailClicked(index, control, shift); };

  HWND goTo = make(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, kTxtGoTo, WS_EX_CLIENTEDGE);
  SendMessageW(goTo, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(Widen(commands::kGoToPlaceholder).c_str()));
  make(L"BUTTON", Widen(commands::kExportCaption).c_str(), BS_PUSHBUTTON | WS_TABSTOP, kCmdExport);
  for (std::size_t i = 0; i < controls_.size(); ++i)
    controls_[i] = GetDlgItem(parent_, kTxtFilter + static_cast<int>(i));

  // The fields' tips, as their own lines.
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                          0, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tips_) return;
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Scaled(520));
  for (const auto& [control, tip] : {std::pair{filter_, commands::kFilterTip}, std::pair{goTo, commands::kGoToTip}}) {
    std::wstring text = Widen(tip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

std::wstring BrowserPanel::TipOf(HWND control) const {
  if (!tips_) return {};
  wchar_t text[1024] = L"";
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = parent_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(tips_, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return text;
}

void BrowserPanel::Layout(const RECT& area) {
  const int gap = Scaled(6);
  const int lineHeight = Scaled(22);
  const int noteHeight = Scaled(16);
  const int width = std::max(0, static_cast<int>(area.right - area.left));
  const int height = std::max(0, static_cast<int>(area.bottom - area.top));
  const int countWidth = Scaled(84);
  const int exportWidth = Scaled(110);
  const int x = area.left;
  int y = area.top;
  MoveWindow(filter_, x, y, std::max(0, width - countWidth - gap), lineHeight, TRUE);
  MoveWindow(edit(kLblCount), x + width - countWidth, y, countWidth, lineHeight, TRUE);
  y += lineHeight;
  MoveWindow(edit(kLblFilterNote), x, y, width, noteHeight, TRUE);
  y += noteHeight + Scaled(2);
  const int listsBottom = area.bottom - lineHeight - gap;
  const int listsHeight = std::max(0, listsBottom - y);
  const int upper = listsHeight * 11 / 20;
  const int groupWidth = std::min(Scaled(176), width * 2 / 5);
  MoveWindow(groups_, x, y, groupWidth, upper, TRUE);
  MoveWindow(items_, x + groupWidth + gap, y, std::max(0, width - groupWidth - gap), upper, TRUE);
  MoveWindow(thumbs_.hwnd(), x, y + upper + gap, width, std::max(0, listsHeight - upper - gap), TRUE);
  MoveWindow(edit(kTxtGoTo), x, area.bottom - lineHeight, std::max(0, width - exportWidth - gap), lineHeight, TRUE);
  MoveWindow(edit(kCmdExport), x + width - exportWidth, area.bottom - lineHeight, exportWidth, lineHeight, TRUE);
  (void)height;
}

bool BrowserPanel::IsBrowserControl(HWND control) const {
  if (!control) return false;
  const int id = GetDlgCtrlID(control);
  return GetParent(control) == parent_ && id >= kTxtFilter && id <= kCmdExport;
}

std::optional<int> BrowserPanel::FocusedItem() const {
  const int at = ListView_GetNextItem(items_, -1, LVNI_FOCUSED);
  if (at < 0 || static_cast<std::size_t>(at) >= rows_.size()) return std::nullopt;
  return at;
}

void BrowserPanel::Draw(const commands::ViewerState& viewer) {
  const commands::BrowserState& browser = viewer.browser();
  drawing_ = true;
  const bool newRows = !drawn_ || drawnArchive_ != browser.archive() || drawnFilter_ != browser.filterText();
  if (Narrow(TextOfControl(filter_)) != browser.filterText()) {
    SetWindowTextW(filter_, Widen(browser.filterText()).c_str());
    SendMessageW(filter_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  }
  if (newRows) {
    archive_ = browser.archive();
    groupEntries_ = archive_ ? browser.groups() : std::vector<commands::GroupEntry>{};
    ListView_SetItemState(groups_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(groups_, static_cast<int>(groupEntries_.size()), 0);
    InvalidateRect(groups_, nullptr, TRUE);
    const std::string note = commands::UnreadableNote(browser);
    unreadable_ = !note.empty();
    SetText(edit(kLblFilterNote), note);
    InvalidateRect(filter_, nullptr, TRUE);
  }
  if (newRows || drawnGroup_ != browser.chosenGroup()) {
    rows_ = archive_ ? browser.groupRows() : std::vector<std::size_t>{};
    ListView_SetItemState(items_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(items_, static_cast<int>(rows_.size()), 0);
    InvalidateRect(items_, nullptr, TRUE);
    thumbs_.SetRows(archive_, rows_);
    if (smallThumbnails_) ImageList_RemoveAll(smallThumbnails_);
    smallSlots_.assign(rows_.size(), -1);
    ListView_SetItemState(groups_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (const auto group = browser.chosenGroupIndex()) {
      const int at = static_cast<int>(*group);
      ListView_SetItemState(groups_, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      ListView_EnsureVisible(groups_, at, FALSE);
    }
  }
  drawn_ = true;
  drawnArchive_ = browser.archive();
  drawnFilter_ = browser.filterText();
  drawnGroup_ = browser.chosenGroup();
  SetText(edit(kLblCount), browser.CountText());
  if (const auto row = viewer.row()) {
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), *row);
    if (at != rows_.end() && *at == *row) {
      const int index = static_cast<int>(at - rows_.begin());
      if (FocusedItem() != index) {
        // The focus moves with the next line: a list has one focused item.
        ClearSelection(items_);
        ListView_SetItemState(items_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(items_, index, FALSE);
        thumbs_.ScrollTo(static_cast<std::size_t>(index));
      }
    }
  }
  drawing_ = false;
  ForwardSelection();
}

// The list's selection goes to the commands and marks the thumbnails. Only
// the selected items are asked for: each question is a message to the list,
// and under Wine a round trip to its server, which for every item of a group
// of hundreds would cost more than a step through the rows may take.
void BrowserPanel::ForwardSelection() {
  std::vector<std::size_t> rows;
  std::vector<bool> marked(rows_.size(), false);
  for (int at = ListView_GetNextItem(items_, -1, LVNI_SELECTED); at >= 0;
       at = ListView_GetNextItem(items_, at, LVNI_SELECTED)) {
    const auto index = static_cast<std::size_t>(at);
    if (index >= rows_.size()) continue;
    rows.push_back(rows_[index]);
    marked[index] = true;
  }
  commands_.SelectRows(std::move(rows));
  const auto focused = FocusedItem();
  thumbs_.SetMarks(std::move(marked), focused ? std::optional<std::size_t>(*focused) : std::nullopt);
}

void BrowserPanel::ThumbnailClicked(std::size_t index, bool control, bool shift) {
  // Through the item list's own selection, so the two never disagree.
  const int at = static_cast<int>(index);
  const auto anchor = FocusedItem();
  if (shift && anchor) {
    if (!control) ClearSelection(items_);
    for (int i = std::min(*anchor, at); i <= std::max(*anchor, at); ++i)
      ListView_SetItemState(items_, i, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(items_, at, LVIS_FOCUSED, LVIS_FOCUSED);
  } else if (control) {
    const bool selected = ListView_GetItemState(items_, at, LVIS_SELECTED) != 0;
    ListView_SetItemState(items_, at, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  } else {
    ClearSelection(items_);
    ListView_SetItemState(items_, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  ListView_EnsureVisible(items_, at, FALSE);
  ForwardSelection();
}

void BrowserPanel::SelectAllItems() {
  ListView_SetItemState(items_, -1, LVIS_SELECTED, LVIS_SELECTED);
  ForwardSelection();
}

std::ptrdiff_t BrowserPanel::PageRows() const {
  return std::max<std::ptrdiff_t>(1, ListView_GetCountPerPage(items_) - 1);
}

void BrowserPanel::FocusFilter() {
  SetFocus(filter_);
  SendMessageW(filter_, EM_SETSEL, 0, -1);
}

void BrowserPanel::FocusGoTo() {
  SetFocus(edit(kTxtGoTo));
  SendMessageW(edit(kTxtGoTo), EM_SETSEL, 0, -1);
}

void BrowserPanel::GoTo() {
  if (commands_.GoTo(Narrow(Trimmed(TextOfControl(edit(kTxtGoTo)))))) SetWindowTextW(edit(kTxtGoTo), L"");
}

void BrowserPanel::ShowExportMenu() {
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 0; i < commands::kExportEntries.size(); ++i) {
    const commands::ExportEntry& entry = commands::kExportEntries[i];
    if (entry.scope == commands::BrowserScope::kAll) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(kMnuExportFirst) + i, Widen(entry.caption).c_str());
  }
  RECT button;
  GetWindowRect(edit(kCmdExport), &button);
  // The chosen entry comes back as a WM_COMMAND to the window, as a menu bar's would.
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left, button.bottom, 0, parent_, nullptr);
  DestroyMenu(menu);
}

bool BrowserPanel::Command(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (id >= kMnuExportFirst && id < kMnuExportFirst + static_cast<int>(commands::kExportEntries.size())) {
    const commands::ExportEntry& entry = commands::kExportEntries[static_cast<std::size_t>(id - kMnuExportFirst)];
    commands_.ExportFromBrowser(entry.scope, entry.format);
    return true;
  }
  switch (id) {
    case kTxtFilter:
      if (code == EN_CHANGE && !drawing_) commands_.SetFilter(Narrow(TextOfControl(filter_)));
      return true;
    case kTxtGoTo: return true;
    case kCmdExport:
      if (code == BN_CLICKED) ShowExportMenu();
      return true;
    default: return false;
  }
}

void BrowserPanel::FormatGroupCell(NMLVDISPINFOW& shown) const {
  const auto at = static_cast<std::size_t>(shown.item.iItem);
  if (shown.item.iItem < 0 || at >= groupEntries_.size()) return;
  const commands::GroupEntry& g = groupEntries_[at];
  switch (shown.item.iSubItem) {
    case 0: Copy(shown, std::to_string(g.group)); break;
    case 1: Copy(shown, std::to_string(g.count)); break;
    case 2: Copy(shown, std::to_string(g.linked)); break;
    default: break;
  }
}

int BrowserPanel::SmallThumbnailSize() { return Scaled(24); }

int BrowserPanel::SmallThumbnail(std::size_t index) {
  if (!smallThumbnails_ || index >= smallSlots_.size()) return -1;
  if (smallSlots_[index] >= 0) return smallSlots_[index];
  // In the grid's frame, so the small ones stand on their axes too.
  const int side = SmallThumbnailSize();
  const std::vector<std::uint32_t> pixels = ThumbnailPixels(*archive_, rows_[index], thumbs_.frame(), side);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return -1;
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
  smallSlots_[index] = ImageList_Add(smallThumbnails_, bitmap, nullptr);
  DeleteObject(bitmap);
  return smallSlots_[index];
}

void BrowserPanel::FormatItemCell(NMLVDISPINFOW& shown) {
  const auto at = static_cast<std::size_t>(shown.item.iItem);
  if (!archive_ || shown.item.iItem < 0 || at >= rows_.size()) return;
  const std::size_t row = rows_[at];
  if (row >= archive_->RowCount()) return;
  if ((shown.item.mask & LVIF_IMAGE) && shown.item.iSubItem == 0) shown.item.iImage = SmallThumbnail(at);
  if (!(shown.item.mask & LVIF_TEXT) || !shown.item.pszText || shown.item.cchTextMax <= 0) return;
  shown.item.pszText[0] = L'\0';
  switch (shown.item.iSubItem) {
    case 0: Copy(shown, sff::CellText(*archive_, row, sff::Column::kSortNo)); break;
    case 1: Copy(shown, sff::CellText(*archive_, row, sff::Column::kItemNo)); break;
    case 2: Copy(shown, commands::IsLinkedRow(*archive_, row) ? commands::kLinkedMark : ""); break;
    case 3: Copy(shown, sff::CellText(*archive_, row, sff::Column::kPcxName)); break;
    default: break;
  }
}

bool BrowserPanel::Notify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != groups_ && header.hwndFrom != items_) return false;
  result = 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& shown = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header));
      if (header.hwndFrom == items_) {
        FormatItemCell(shown);
        return true;
      }
      if (!(shown.item.mask & LVIF_TEXT) || !shown.item.pszText || shown.item.cchTextMax <= 0) return true;
      shown.item.pszText[0] = L'\0';
      FormatGroupCell(shown);
      return true;
    }
    case LVN_ITEMCHANGED: {
      if (drawing_) return true;
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (!(change.uChanged & LVIF_STATE)) return true;
      const bool nowFocused = (change.uNewState & LVIS_FOCUSED) && !(change.uOldState & LVIS_FOCUSED);
      if (header.hwndFrom == groups_) {
        if (nowFocused && change.iItem >= 0) commands_.ChooseGroup(static_cast<std::size_t>(change.iItem));
        return true;
      }
      if (nowFocused && change.iItem >= 0 && static_cast<std::size_t>(change.iItem) < rows_.size())
        commands_.ShowRow(rows_[static_cast<std::size_t>(change.iItem)]);
      if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED || change.iItem < 0) ForwardSelection();
      return true;
    }
    case LVN_ODSTATECHANGED:
      if (!drawing_ && header.hwndFrom == items_) ForwardSelection();
      return true;
    default: return false;
  }
}

HBRUSH BrowserPanel::Colour(HWND control, HDC dc) {
  if (!unreadable_) return nullptr;
  if (control == filter_) {
    SetTextColor(dc, kUnreadableText);
    SetBkColor(dc, kUnreadableBackground);
    return unreadableBrush_;
  }
  if (control == edit(kLblFilterNote)) {
    SetTextColor(dc, kUnreadableText);
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  return nullptr;
}

}  // namespace pelvaro::win32
