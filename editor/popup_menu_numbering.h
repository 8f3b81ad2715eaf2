#pragma once

#include <vector>

class IMenu;

// Command ids of a popup menu tree, numbered depth-first: every menu reserves
// consecutive ids for its own items, in item order, before the submenus of
// those items are numbered. The native menu is built and a chosen command id
// is resolved with the same numbering, so both always agree.
class PopupMenuNumbering
{
public:
  struct Range
  {
    IMenu* menu;
    int firstId;
    // Per item: index of the range of the submenu shown under it, or -1 (no
    // submenu, a separator, or a submenu that would repeat an enclosing menu).
    std::vector<int> childRange;
  };

  // Ids start at firstId (positive: a native menu reports 0 for no choice).
  explicit PopupMenuNumbering(IMenu& root, int firstId = 1);

  // Ranges in numbering order; range 0 is the root.
  const std::vector<Range>& Ranges() const { return mRanges; }

  // The first (sub)menu, in numbering order, whose range holds the id, with
  // its chosen item set to the id's position in it; null when no range holds
  // it (the chosen items are then left alone).
  IMenu* Resolve(int commandId) const;

  // Sets the chosen item of every numbered menu to -1 (nothing chosen).
  void ClearChosenItems() const;

  // The id of an item of the given range; -1 when out of range.
  int CommandId(int rangeIndex, int position) const;

private:
  int Number(IMenu& menu, std::vector<const IMenu*>& enclosing);

  std::vector<Range> mRanges;
  int mNextId;
};
