#pragma once

#include "control.h"
#include "menu.h"

// The invisible area over the preset name that opens the preset menu: the
// main menu with "< Presets Library >", the welcome preset and the seven
// banks as submenus. Opening it has the instrument read the catalogue's
// files into memory again (when it keeps them there). A choice sets PresetSelector to the chosen
// preset index and hands it to the instrument directly (not through the host), which loads the
// preset and lets PresetSelector rest at 0 again.
//
// Threads: user-interface thread; the choice is applied under the instance
// lock.
class IPopupMenu_PresetSelector : public IControl
{
public:
  static constexpr int kBankMenus = 7;

  // Builds the menus once; they live as long as the control.
  IPopupMenu_PresetSelector(IPlugBase* plug, const IRect& rect);
  ~IPopupMenu_PresetSelector() override;

  // Any button: shows the menu below the control and applies a choice.
  void OnMouseDown(int x, int y, IMouseKeys* mods) override;
  // Fills the area with full transparency: the name and the bar beneath
  // show through.
  bool Draw(IGraphics* graphics) override;

  const IMenu& MainMenu() const { return mMainMenu; }

private:
  // The preset index of a choice in menu, or -1 when menu is not one of
  // this control's menus or holds no choice.
  int ChosenPresetIndex(const IMenu* menu) const;

  IMenu mMainMenu;
  IMenu mBankMenus[kBankMenus];
};
