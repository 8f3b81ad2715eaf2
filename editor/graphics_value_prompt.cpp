#include "graphics.h"

#include "control.h"

#include "plug_param.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
bool IsListParam(const IPlugParam& param)
{
  return param.Type() == TypeEnum || (param.Type() == TypeBool && param.DisplayTextCount() > 0);
}

// Characters of a typed entry that count.
constexpr size_t kMaxEntryLength = 32;
} // namespace

void IGraphics::AskForValueText(IControl* control, IPlugParam* param, const IRect& rect)
{
  if (!control || !param) return;

  if (IsListParam(*param))
  {
    char current[kParamTextSize] = {};
    param->FormatForHost(current, int(sizeof(current)));
    IMenu menu;
    for (int i = 0; i < param->DisplayTextCount(); ++i)
    {
      IMenuItem* item = menu.AddItem(param->DisplayTextFor(i));
      if (item->Text() == current) item->SetFlags(IMenuItem::kChecked);
    }
    if (ShowPopupMenu(&menu, rect) == &menu && menu.ChosenItemIdx() >= 0)
    {
      control->TakeValueFromUserInput(param->ToNormalized(double(menu.ChosenItemIdx())));
    }
    return;
  }

  char initial[64] = {};
  param->FormatForHost(param->Value(), false, initial, sizeof(initial), false);
  CreateTextEntry(control, *control->GetText(), rect, initial, param);
}

void IGraphics::CommitTextEntry(IControl* control, IPlugParam* param, const char* typed)
{
  if (!control) return;
  std::string text(typed ? typed : "");
  if (text.size() > kMaxEntryLength) text.resize(kMaxEntryLength);
  if (!param)
  {
    control->SetTextFromTextEntry(text.c_str());
    return;
  }
  double plain = 0.0;
  if (param->Type() == TypeBool || param->Type() == TypeEnum)
  {
    for (int i = 0; i < param->DisplayTextCount(); ++i)
    {
      const DisplayTextEntry* entry = param->DisplayTextAt(i);
      if (text == entry->mText)
      {
        plain = entry->mValue;
        break;
      }
    }
  }
  else
  {
    plain = std::strtod(text.c_str(), nullptr);
    if (param->NegateDisplay()) plain = -plain;
  }
  control->TakeValueFromUserInput(param->ToNormalized(plain));
}
