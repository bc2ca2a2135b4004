// List-view controls of this process or another. A control of another process reads and
// writes item records in its own memory, so the helpers lend it a block there.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace harness {

// The texts of one column, item by item in the control's order.
std::vector<std::string> ListColumn(HWND hList, int nColumn);
// The selected item, or -1.
int SelectedListItem(HWND hList);
// The item is among the rows the list shows now, not scrolled out of sight.
bool ListItemShown(HWND hList, int nItem);
// Selects and focuses the item as a click does; the control notifies its parent. Returns when
// the parent has handled that.
bool SelectListItem(HWND hList, int nItem);
// Double-clicks the middle of the item (this process only); returns when the handlers are done.
void DoubleClickListItem(HWND hList, int nItem);

} // namespace harness
