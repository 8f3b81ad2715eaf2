#include "menu.h"

#include <cstdio>

IMenuItem* IMenu::AddItem(const std::string& text)
{
  return AddItem(text, nullptr);
}

IMenuItem* IMenu::AddItem(const std::string& text, IMenu* submenu)
{
  mItems.push_back(std::make_unique<IMenuItem>(text, submenu));
  return mItems.back().get();
}

IMenuItem* IMenu::AddSeparator()
{
  mItems.push_back(std::make_unique<IMenuItem>(std::string(), nullptr, IMenuItem::kSeparator));
  return mItems.back().get();
}

IMenuItem* IMenu::GetItem(int position) const
{
  if (position < 0 || position >= NItems()) return nullptr;
  return mItems[size_t(position)].get();
}

std::string IMenu::ItemLabel(int position) const
{
  const IMenuItem* item = GetItem(position);
  if (!item) return std::string();
  const char* format = nullptr;
  switch (mPrefix)
  {
  case kPrefixOneDigit:
    format = "%1d: %s";
    break;
  case kPrefixTwoDigits:
    format = "%02d: %s";
    break;
  case kPrefixThreeDigits:
    format = "%03d: %s";
    break;
  default:
    return item->Text();
  }
  const int needed = std::snprintf(nullptr, 0, format, position + 1, item->Text().c_str());
  std::string label(size_t(needed > 0 ? needed : 0), '\0');
  std::snprintf(&label[0], label.size() + 1, format, position + 1, item->Text().c_str());
  return label;
}
