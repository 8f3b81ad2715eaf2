#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IMenu;

// One entry of a popup menu.
class IMenuItem
{
public:
  enum Flags : int32_t
  {
    kGrayed = 1 << 0,
    kDisabled = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3 // the text is ignored
  };

  explicit IMenuItem(std::string text, IMenu* submenu = nullptr, int32_t flags = 0)
      : mText(std::move(text)), mSubmenu(submenu), mFlags(flags)
  {
  }

  const std::string& Text() const { return mText; }
  void SetText(std::string text) { mText = std::move(text); }
  // Not owned: the menu that lists this item does not delete it.
  IMenu* Submenu() const { return mSubmenu; }
  int32_t Flags() const { return mFlags; }
  void SetFlags(int32_t flags) { mFlags = flags; }
  bool HasFlag(int32_t flag) const { return (mFlags & flag) != 0; }

private:
  std::string mText;
  IMenu* mSubmenu;
  int32_t mFlags;
};

// A popup menu: its items (owned), a numbering prefix shown before each item's
// text, and the item the user chose the last time it was shown.
class IMenu
{
public:
  enum Prefix : int32_t
  {
    kPrefixNone = 0,
    kPrefixOneDigit = 1,   // "%1d: %s"
    kPrefixTwoDigits = 2,  // "%02d: %s"
    kPrefixThreeDigits = 3 // "%03d: %s"
  };

  explicit IMenu(int32_t prefix = kPrefixNone) : mPrefix(prefix) {}
  IMenu(const IMenu&) = delete;
  IMenu& operator=(const IMenu&) = delete;

  IMenuItem* AddItem(const std::string& text);
  IMenuItem* AddItem(const std::string& text, IMenu* submenu);
  IMenuItem* AddSeparator();

  int NItems() const { return int(mItems.size()); }
  // Null outside [0, NItems()).
  IMenuItem* GetItem(int position) const;

  int32_t Prefix() const { return mPrefix; }
  void SetPrefix(int32_t prefix) { mPrefix = prefix; }
  int32_t ChosenItemIdx() const { return mChosenItem; }
  void SetChosenItemIdx(int32_t position) { mChosenItem = position; }

  // The text shown for an item: its text, numbered by its 1-based position
  // when the menu has a prefix.
  std::string ItemLabel(int position) const;

private:
  int32_t mPrefix;
  int32_t mChosenItem = -1;
  std::vector<std::unique_ptr<IMenuItem>> mItems;
};
