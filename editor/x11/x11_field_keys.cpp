#include "x11/x11_field_keys.h"

#include "drawn/text_field.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <string>

FieldKey ApplyKeyToField(TextField& field, XKeyEvent& event, const IPlugParam* param)
{
  char typed[8] = {};
  KeySym keysym = 0;
  const int length = XLookupString(&event, typed, int(sizeof(typed)) - 1, &keysym, nullptr);
  const bool shift = (event.state & ShiftMask) != 0;
  switch (keysym)
  {
  case XK_Return:
  case XK_KP_Enter:
    return FieldKey::kEnter;
  case XK_Escape:
    return FieldKey::kEscape;
  case XK_BackSpace:
    field.Backspace();
    return FieldKey::kEdited;
  case XK_Delete:
    field.Delete();
    return FieldKey::kEdited;
  case XK_Left:
    field.MoveCaret(-1, shift);
    return FieldKey::kEdited;
  case XK_Right:
    field.MoveCaret(1, shift);
    return FieldKey::kEdited;
  case XK_Home:
    field.MoveCaretTo(0, shift);
    return FieldKey::kEdited;
  case XK_End:
    field.MoveCaretTo(int(field.Text().size()), shift);
    return FieldKey::kEdited;
  default:
    break;
  }
  if ((event.state & ControlMask) && (keysym == XK_a || keysym == XK_A))
  {
    field.SelectAll();
    return FieldKey::kEdited;
  }
  if (length != 1 || typed[0] < 32 || typed[0] > 126) return FieldKey::kUnhandled;
  // A value entry swallows what a number cannot hold.
  if (!param || CharacterAllowedForParam(*param, typed[0])) field.Insert(std::string(typed, 1));
  return FieldKey::kEdited;
}
