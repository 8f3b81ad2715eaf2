#include "popup_menu_numbering.h"

#include "menu.h"

#include <algorithm>

PopupMenuNumbering::PopupMenuNumbering(IMenu& root, int firstId) : mNextId(firstId)
{
  std::vector<const IMenu*> enclosing;
  Number(root, enclosing);
}

int PopupMenuNumbering::Number(IMenu& menu, std::vector<const IMenu*>& enclosing)
{
  const int rangeIndex = int(mRanges.size());
  mRanges.push_back(Range{&menu, mNextId, std::vector<int>(size_t(menu.NItems()), -1)});
  mNextId += menu.NItems();
  enclosing.push_back(&menu);
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const IMenuItem* item = menu.GetItem(i);
    IMenu* submenu = item->Submenu();
    if (item->HasFlag(IMenuItem::kSeparator) || !submenu) continue;
    // A submenu that lists one of its own ancestors would never end.
    if (std::find(enclosing.begin(), enclosing.end(), submenu) != enclosing.end()) continue;
    const int child = Number(*submenu, enclosing);
    mRanges[size_t(rangeIndex)].childRange[size_t(i)] = child;
  }
  enclosing.pop_back();
  return rangeIndex;
}

IMenu* PopupMenuNumbering::Resolve(int commandId) const
{
  for (const Range& range : mRanges)
  {
    if (commandId >= range.firstId && commandId < range.firstId + range.menu->NItems())
    {
      range.menu->SetChosenItemIdx(commandId - range.firstId);
      return range.menu;
    }
  }
  return nullptr;
}

void PopupMenuNumbering::ClearChosenItems() const
{
  for (const Range& range : mRanges)
    range.menu->SetChosenItemIdx(-1);
}

int PopupMenuNumbering::CommandId(int rangeIndex, int position) const
{
  if (rangeIndex < 0 || rangeIndex >= int(mRanges.size())) return -1;
  const Range& range = mRanges[size_t(rangeIndex)];
  if (position < 0 || position >= range.menu->NItems()) return -1;
  return range.firstId + position;
}
