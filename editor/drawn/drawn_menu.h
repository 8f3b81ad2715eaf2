#pragma once

#include "graphics_types.h"
#include "menu.h"
#include "popup_menu_numbering.h"

#include <functional>
#include <string>
#include <vector>

// The layout and navigation of a popup menu the editor draws itself: a stack
// of open levels (the menu, then each open submenu beside its item), one
// highlighted item per level, driven by pointer and keys. Command ids come
// from the same numbering the native menus use, so a choice resolves the
// same way on every platform. Coordinates are the screen's.
class DrawnMenu
{
public:
  struct Level
  {
    int range;               // index into the numbering's ranges
    IRect bounds;            // on the screen
    std::vector<IRect> rows; // per item, relative to bounds
    int highlighted = -1;
  };

  enum class Key
  {
    kUp,
    kDown,
    kLeft,
    kRight,
    kEnter,
    kEscape
  };

  // What a step of interaction ended in.
  enum class Outcome
  {
    kOpen,
    kChosen,
    kCancelled
  };

  static constexpr int kPadding = 6;
  static constexpr int kMarkColumn = 18;
  static constexpr int kArrowColumn = 16;
  static constexpr int kSeparatorHeight = 7;

  // textWidth measures a label in the font the menu is drawn with.
  DrawnMenu(const PopupMenuNumbering& numbering, int rowHeight,
            std::function<int(const std::string&)> textWidth);

  // Opens the root menu with its top-left corner at (x, y), kept inside the
  // screen of the given size where it fits.
  void Open(int x, int y, int screenWidth, int screenHeight);

  const std::vector<Level>& Levels() const { return mLevels; }
  const PopupMenuNumbering& Numbering() const { return mNumbering; }
  // The label drawn for an item of a level (numbered as the menu asks).
  std::string Label(const Level& level, int item) const;
  const IMenuItem* Item(const Level& level, int item) const;
  bool HasSubmenu(const Level& level, int item) const;
  bool Selectable(const Level& level, int item) const;

  // The pointer moved to a screen position (with or without a button).
  void PointerMoved(int x, int y);
  // A button was released (or pressed) at a screen position: chooses a
  // selectable item, opens a submenu, or cancels outside every level.
  Outcome PointerClicked(int x, int y);
  Outcome KeyPressed(Key key);
  // The command id chosen; valid after kChosen.
  int ChosenId() const { return mChosenId; }

private:
  Level LayOut(int range, int x, int y) const;
  // Finds the level and item under a screen position; false when none.
  bool Find(int x, int y, int& level, int& item) const;
  void Highlight(int level, int item);
  void OpenSubmenu(int level, int item);
  void CloseLevelsAbove(int level);
  Outcome Choose(int level, int item);
  void MoveHighlight(int direction);

  const PopupMenuNumbering& mNumbering;
  int mRowHeight;
  std::function<int(const std::string&)> mTextWidth;
  int mScreenWidth = 0;
  int mScreenHeight = 0;
  std::vector<Level> mLevels;
  int mChosenId = -1;
};
