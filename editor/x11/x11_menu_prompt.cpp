// The popup menu of the Linux editor: the drawn menu's layout and
// navigation, shown one prompt window per open level.
#include "x11/graphics_x11.h"

#include "drawn/drawn_menu.h"
#include "drawn/drawn_widgets.h"
#include "popup_menu_numbering.h"
#include "x11/x11_prompt_window.h"

#include "lice_bitmap.h"
#include "lice_font.h"

#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
bool MenuKey(KeySym keysym, DrawnMenu::Key& key)
{
  switch (keysym)
  {
  case XK_Up:
    key = DrawnMenu::Key::kUp;
    return true;
  case XK_Down:
    key = DrawnMenu::Key::kDown;
    return true;
  case XK_Left:
    key = DrawnMenu::Key::kLeft;
    return true;
  case XK_Right:
    key = DrawnMenu::Key::kRight;
    return true;
  case XK_Return:
  case XK_KP_Enter:
  case XK_space:
    key = DrawnMenu::Key::kEnter;
    return true;
  case XK_Escape:
    key = DrawnMenu::Key::kEscape;
    return true;
  default:
    return false;
  }
}

class MenuClient : public IGraphicsX11::ModalClient
{
public:
  MenuClient(Display* display, DrawnMenu& menu, LICE_CachedFont* font)
      : mDisplay(display), mMenu(menu), mFont(font)
  {
    Sync();
    if (!mWindows.empty()) mGrab = std::make_unique<InputGrab>(display, mWindows.front()->Id());
  }

  bool Owns(Window window) const override
  {
    return std::any_of(mWindows.begin(), mWindows.end(),
                       [window](const auto& shown) { return shown->Id() == window; });
  }

  void HandleEvent(const XEvent& event) override
  {
    switch (event.type)
    {
    case Expose:
      for (auto& window : mWindows)
        if (window->Id() == event.xany.window) window->Present();
      return;
    case MotionNotify:
      mMenu.PointerMoved(event.xmotion.x_root, event.xmotion.y_root);
      break;
    case ButtonPress:
      // A press outside every level dismisses the menu; inside, the
      // release chooses.
      if (!Inside(event.xbutton.x_root, event.xbutton.y_root))
        mOutcome = DrawnMenu::Outcome::kCancelled;
      return;
    case ButtonRelease:
      // The release of the click that opened the menu lands outside it.
      if (!Inside(event.xbutton.x_root, event.xbutton.y_root)) return;
      mOutcome = mMenu.PointerClicked(event.xbutton.x_root, event.xbutton.y_root);
      break;
    case KeyPress:
    {
      XKeyEvent key = event.xkey;
      DrawnMenu::Key menuKey;
      if (!MenuKey(XLookupKeysym(&key, 0), menuKey)) return;
      mOutcome = mMenu.KeyPressed(menuKey);
      break;
    }
    default:
      return;
    }
    Sync();
  }

  bool Done() const override { return mOutcome != DrawnMenu::Outcome::kOpen; }
  void Abort() override { mOutcome = DrawnMenu::Outcome::kCancelled; }
  DrawnMenu::Outcome Outcome() const { return mOutcome; }

private:
  bool Inside(int x, int y) const
  {
    return std::any_of(mWindows.begin(), mWindows.end(),
                       [x, y](const auto& shown) { return shown->ScreenRect().Contains(x, y); });
  }

  // One window per open level, repainted.
  void Sync()
  {
    const auto& levels = mMenu.Levels();
    if (mWindows.size() > levels.size()) mWindows.resize(levels.size());
    for (size_t i = 0; i < levels.size(); ++i)
    {
      if (i < mWindows.size() && mWindows[i]->ScreenRect() == levels[i].bounds) continue;
      mWindows.resize(i);
      mWindows.push_back(std::make_unique<PromptWindow>(mDisplay, levels[i].bounds));
    }
    for (size_t i = 0; i < levels.size(); ++i)
      Paint(levels[i], *mWindows[i]);
    XFlush(mDisplay);
  }

  void Paint(const DrawnMenu::Level& level, PromptWindow& window)
  {
    using namespace DrawnWidgets;
    LICE_SysBitmap& bitmap = window.Bitmap();
    const IRect all(0, 0, level.bounds.W(), level.bounds.H());
    Fill(bitmap, all, kFace);
    Frame(bitmap, all, kEdge);
    for (int i = 0; i < int(level.rows.size()); ++i)
    {
      const IRect& row = level.rows[size_t(i)];
      const IMenuItem* item = mMenu.Item(level, i);
      if (item->HasFlag(IMenuItem::kSeparator))
      {
        const int middle = (row.T + row.B) / 2;
        Fill(bitmap, IRect(row.L + 4, middle, row.R - 4, middle + 1), kEdge);
        continue;
      }
      const bool highlighted = i == level.highlighted;
      if (highlighted) Fill(bitmap, row, kHighlight);
      const LICE_pixel ink = !mMenu.Selectable(level, i) ? kGreyText
                             : highlighted               ? kHighlightText
                                                         : kText;
      if (item->HasFlag(IMenuItem::kChecked))
      {
        const int size = row.H() / 3;
        const int left = row.L + (DrawnMenu::kMarkColumn - size) / 2 + 2;
        const int top = row.T + (row.H() - size) / 2;
        Fill(bitmap, IRect(left, top, left + size, top + size), ink);
      }
      const IRect label(row.L + DrawnMenu::kMarkColumn + DrawnMenu::kPadding, row.T,
                        row.R - DrawnMenu::kArrowColumn, row.B);
      Text(bitmap, mFont, mMenu.Label(level, i), label, ink);
      if (mMenu.HasSubmenu(level, i))
        Text(bitmap, mFont, ">", IRect(row.R - DrawnMenu::kArrowColumn, row.T, row.R - 4, row.B),
             ink, ITextStyle::kAlignFar);
    }
    window.Present();
  }

  Display* mDisplay;
  DrawnMenu& mMenu;
  LICE_CachedFont* mFont;
  std::vector<std::unique_ptr<PromptWindow>> mWindows;
  std::unique_ptr<InputGrab> mGrab;
  DrawnMenu::Outcome mOutcome = DrawnMenu::Outcome::kOpen;
};
} // namespace

IMenu* IGraphicsX11::ShowPopupMenu(IMenu* menu, const IRect& rect)
{
  // The menu takes the button release.
  ClearMouseCapture();
  mCaptured = false;
  if (!menu) return nullptr;
  const PopupMenuNumbering numbering(*menu);
  numbering.ClearChosenItems();
  if (!mWindow || !menu->NItems()) return nullptr;

  LICE_CachedFont* font = PromptFont();
  const int rowHeight = (font ? font->LineHeight() : 14) + 6 * PromptScale();
  DrawnMenu drawn(numbering, rowHeight,
                  [font](const std::string& text) { return DrawnWidgets::TextWidth(font, text); });
  int x = 0;
  int y = 0;
  EditorScreenOrigin(x, y);
  int screenWidth = 0;
  int screenHeight = 0;
  ScreenSize(screenWidth, screenHeight);
  drawn.Open(x + rect.L, y + rect.B, screenWidth, screenHeight);

  IMenu* chosen = nullptr;
  {
    MenuClient client(mDisplay, drawn, font);
    if (RunModal(client) && client.Outcome() == DrawnMenu::Outcome::kChosen)
      chosen = numbering.Resolve(drawn.ChosenId());
  }
  SetAllControlsDirty();
  return chosen;
}
