#include "drawn/drawn_menu.h"

#include "menu.h"

#include <algorithm>

namespace
{
constexpr int kMinimumWidth = 80;
} // namespace

DrawnMenu::DrawnMenu(const PopupMenuNumbering& numbering, int rowHeight,
                     std::function<int(const std::string&)> textWidth)
    : mNumbering(numbering), mRowHeight(rowHeight), mTextWidth(std::move(textWidth))
{
}

const IMenuItem* DrawnMenu::Item(const Level& level, int item) const
{
  return mNumbering.Ranges()[size_t(level.range)].menu->GetItem(item);
}

std::string DrawnMenu::Label(const Level& level, int item) const
{
  return mNumbering.Ranges()[size_t(level.range)].menu->ItemLabel(item);
}

bool DrawnMenu::HasSubmenu(const Level& level, int item) const
{
  const auto& children = mNumbering.Ranges()[size_t(level.range)].childRange;
  return item >= 0 && item < int(children.size()) && children[size_t(item)] >= 0;
}

bool DrawnMenu::Selectable(const Level& level, int item) const
{
  const IMenuItem* entry = Item(level, item);
  return entry &&
         !entry->HasFlag(IMenuItem::kSeparator | IMenuItem::kGrayed | IMenuItem::kDisabled);
}

DrawnMenu::Level DrawnMenu::LayOut(int range, int x, int y) const
{
  Level level{range, IRect(), {}, -1};
  const IMenu& menu = *mNumbering.Ranges()[size_t(range)].menu;
  int width = kMinimumWidth;
  int top = 1;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const bool separator = menu.GetItem(i)->HasFlag(IMenuItem::kSeparator);
    const int height = separator ? kSeparatorHeight : mRowHeight;
    if (!separator)
      width = std::max(width,
                       mTextWidth(menu.ItemLabel(i)) + 2 * kPadding + kMarkColumn + kArrowColumn);
    level.rows.push_back(IRect(1, top, 0, top + height));
    top += height;
  }
  for (IRect& row : level.rows)
    row.R = width - 1;
  const int height = top + 1;
  // Kept on the screen where it fits: a menu near the right or bottom edge
  // opens to the left or upwards instead.
  if (mScreenWidth > 0 && x + width > mScreenWidth) x = std::max(0, mScreenWidth - width);
  if (mScreenHeight > 0 && y + height > mScreenHeight) y = std::max(0, mScreenHeight - height);
  level.bounds = IRect(x, y, x + width, y + height);
  return level;
}

void DrawnMenu::Open(int x, int y, int screenWidth, int screenHeight)
{
  mScreenWidth = screenWidth;
  mScreenHeight = screenHeight;
  mLevels.clear();
  mChosenId = -1;
  if (mNumbering.Ranges().empty()) return;
  mLevels.push_back(LayOut(0, x, y));
}

bool DrawnMenu::Find(int x, int y, int& level, int& item) const
{
  for (int l = int(mLevels.size()) - 1; l >= 0; --l)
  {
    const Level& candidate = mLevels[size_t(l)];
    if (!candidate.bounds.Contains(x, y)) continue;
    level = l;
    item = -1;
    for (int i = 0; i < int(candidate.rows.size()); ++i)
      if (candidate.rows[size_t(i)].Contains(x - candidate.bounds.L, y - candidate.bounds.T))
        item = i;
    return true;
  }
  return false;
}

void DrawnMenu::CloseLevelsAbove(int level)
{
  if (int(mLevels.size()) > level + 1) mLevels.resize(size_t(level + 1));
}

void DrawnMenu::Highlight(int level, int item)
{
  CloseLevelsAbove(level);
  mLevels[size_t(level)].highlighted = Selectable(mLevels[size_t(level)], item) ? item : -1;
}

void DrawnMenu::OpenSubmenu(int level, int item)
{
  const Level& parent = mLevels[size_t(level)];
  if (!HasSubmenu(parent, item)) return;
  CloseLevelsAbove(level);
  const int child = mNumbering.Ranges()[size_t(parent.range)].childRange[size_t(item)];
  const IRect& row = parent.rows[size_t(item)];
  mLevels.push_back(LayOut(child, parent.bounds.R - 2, parent.bounds.T + row.T - 1));
}

void DrawnMenu::PointerMoved(int x, int y)
{
  int level = 0;
  int item = -1;
  if (!Find(x, y, level, item) || item < 0) return;
  Highlight(level, item);
  if (mLevels[size_t(level)].highlighted == item) OpenSubmenu(level, item);
}

DrawnMenu::Outcome DrawnMenu::Choose(int level, int item)
{
  const Level& chosen = mLevels[size_t(level)];
  if (!Selectable(chosen, item)) return Outcome::kOpen;
  if (HasSubmenu(chosen, item))
  {
    Highlight(level, item);
    OpenSubmenu(level, item);
    return Outcome::kOpen;
  }
  mChosenId = mNumbering.CommandId(chosen.range, item);
  return Outcome::kChosen;
}

DrawnMenu::Outcome DrawnMenu::PointerClicked(int x, int y)
{
  int level = 0;
  int item = -1;
  if (!Find(x, y, level, item)) return Outcome::kCancelled;
  return item < 0 ? Outcome::kOpen : Choose(level, item);
}

void DrawnMenu::MoveHighlight(int direction)
{
  Level& level = mLevels.back();
  const int count = int(level.rows.size());
  int item = level.highlighted;
  for (int step = 0; step < count; ++step)
  {
    item = item < 0 ? (direction > 0 ? 0 : count - 1) : (item + direction + count) % count;
    if (Selectable(level, item))
    {
      level.highlighted = item;
      return;
    }
  }
}

DrawnMenu::Outcome DrawnMenu::KeyPressed(Key key)
{
  if (mLevels.empty()) return Outcome::kCancelled;
  const int top = int(mLevels.size()) - 1;
  const int highlighted = mLevels.back().highlighted;
  switch (key)
  {
  case Key::kUp:
    MoveHighlight(-1);
    return Outcome::kOpen;
  case Key::kDown:
    MoveHighlight(1);
    return Outcome::kOpen;
  case Key::kRight:
    if (highlighted >= 0 && HasSubmenu(mLevels.back(), highlighted))
    {
      OpenSubmenu(top, highlighted);
      MoveHighlight(1);
    }
    return Outcome::kOpen;
  case Key::kLeft:
    if (top > 0) CloseLevelsAbove(top - 1);
    return Outcome::kOpen;
  case Key::kEnter:
    if (highlighted < 0) return Outcome::kOpen;
    if (HasSubmenu(mLevels.back(), highlighted))
    {
      OpenSubmenu(top, highlighted);
      MoveHighlight(1);
      return Outcome::kOpen;
    }
    return Choose(top, highlighted);
  case Key::kEscape:
    if (top == 0) return Outcome::kCancelled;
    CloseLevelsAbove(top - 1);
    return Outcome::kOpen;
  }
  return Outcome::kOpen;
}
