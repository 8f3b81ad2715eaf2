#include "file_dialog_filter.h"
#include "graphics_types.h"
#include "menu.h"
#include "popup_menu_numbering.h"
#include "window_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(IRectTest, AllZeroIsTheOnlyEmptyRectangle)
{
  EXPECT_TRUE(IRect().Empty());
  EXPECT_FALSE(IRect(5, 5, 5, 5).Empty());
  EXPECT_FALSE(IRect(10, 0, 0, 0).Empty());
}

TEST(IRectTest, ContainsHasExclusiveRightAndBottom)
{
  const IRect r(10, 20, 30, 40);
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_TRUE(r.Contains(29, 39));
  EXPECT_FALSE(r.Contains(30, 39));
  EXPECT_FALSE(r.Contains(29, 40));
  EXPECT_FALSE(r.Contains(9, 25));
  EXPECT_FALSE(IRect().Contains(0, 0));
}

TEST(IRectTest, IntersectionIsInclusiveOnOneSide)
{
  const IRect a(0, 0, 10, 10);
  // a's right edge touching b's left edge counts; the reverse does not.
  EXPECT_TRUE(a.Intersects(IRect(10, 0, 20, 10)));
  EXPECT_FALSE(IRect(10, 0, 20, 10).Intersects(a));
  EXPECT_TRUE(a.Intersects(IRect(0, 10, 10, 20)));
  EXPECT_FALSE(IRect(0, 10, 10, 20).Intersects(a));
  EXPECT_FALSE(a.Intersects(IRect(11, 0, 20, 10)));
  EXPECT_FALSE(a.Intersects(IRect()));
  EXPECT_FALSE(IRect().Intersects(a));
}

TEST(IRectTest, UnionWithEmptyIsTheOther)
{
  const IRect a(3, 4, 10, 12);
  EXPECT_EQ(a.Union(IRect()), a);
  EXPECT_EQ(IRect().Union(a), a);
  EXPECT_EQ(a.Union(IRect(1, 8, 6, 20)), IRect(1, 4, 10, 20));
}

TEST(IRectTest, IntersectionOfDisjointRectanglesIsEmpty)
{
  EXPECT_EQ(IRect(0, 0, 10, 10).Intersection(IRect(5, 2, 30, 8)), IRect(5, 2, 10, 8));
  EXPECT_TRUE(IRect(0, 0, 10, 10).Intersection(IRect(20, 20, 30, 30)).Empty());
}

TEST(IRgbaTest, PacksAlphaRedGreenBlue)
{
  EXPECT_EQ(IRgba(0x12, 0x34, 0x56, 0x78).Packed(), 0x12345678u);
  EXPECT_EQ(COLOR_BLACK.Packed(), 0xFF000000u);
  EXPECT_EQ(COLOR_WHITE.Packed(), 0xFFFFFFFFu);
}

TEST(ITextStyleTest, DefaultsAndFontNameCut)
{
  const ITextStyle standard;
  EXPECT_STREQ(standard.mFont, "Verdana");
  EXPECT_EQ(standard.mSize, 12);
  EXPECT_EQ(standard.mColor, COLOR_BLACK);
  EXPECT_EQ(standard.mTextEntryBGColor, COLOR_WHITE);
  EXPECT_EQ(standard.mTextEntryFGColor, COLOR_BLACK);
  EXPECT_EQ(standard.mStyle, ITextStyle::kStyleNormal);
  EXPECT_EQ(standard.mAlign, ITextStyle::kAlignCenter);
  EXPECT_EQ(standard.mOrientation, 0);
  EXPECT_EQ(standard.mQuality, ITextStyle::kQualityDefault);
  EXPECT_EQ(standard.mCached, nullptr);

  const std::string longName(50, 'x');
  const ITextStyle cut(20, COLOR_WHITE, longName.c_str(), ITextStyle::kStyleBold,
                       ITextStyle::kAlignNear);
  EXPECT_EQ(std::strlen(cut.mFont), sizeof(cut.mFont) - 1);
}

TEST(IBlendTest, MethodsMapToRasterModes)
{
  EXPECT_EQ(IBlend(IBlend::kBlendNone).RasterMode(), 0x10000);
  EXPECT_EQ(IBlend(IBlend::kBlendClobber).RasterMode(), 0);
  EXPECT_EQ(IBlend(IBlend::kBlendAdd).RasterMode(), 0x10001);
  EXPECT_EQ(IBlend(IBlend::kBlendColorDodge).RasterMode(), 0x10002);
  EXPECT_EQ(IBlend(17).RasterMode(), 0x10000);
}

TEST(IImageTest, FrameCountIsAtLeastOne)
{
  EXPECT_EQ(IImage(nullptr, 4, 4, 0).N, 1);
  EXPECT_EQ(IImage(nullptr, 4, 4, -3).N, 1);
  EXPECT_EQ(IImage(nullptr, 4, 4, 99).N, 99);
}

TEST(IMenuTest, LabelsCarryTheNumberingPrefix)
{
  IMenu menu;
  menu.AddItem("Kick");
  for (int i = 0; i < 11; ++i)
    menu.AddItem("Snare");
  EXPECT_EQ(menu.ItemLabel(0), "Kick");
  menu.SetPrefix(IMenu::kPrefixOneDigit);
  EXPECT_EQ(menu.ItemLabel(0), "1: Kick");
  EXPECT_EQ(menu.ItemLabel(11), "12: Snare");
  menu.SetPrefix(IMenu::kPrefixTwoDigits);
  EXPECT_EQ(menu.ItemLabel(0), "01: Kick");
  menu.SetPrefix(IMenu::kPrefixThreeDigits);
  EXPECT_EQ(menu.ItemLabel(11), "012: Snare");
  menu.SetPrefix(9);
  EXPECT_EQ(menu.ItemLabel(0), "Kick");
  EXPECT_EQ(menu.ItemLabel(12), "");
}

TEST(IMenuTest, DeletingAMenuLeavesItsSubmenus)
{
  IMenu submenu;
  submenu.AddItem("inner");
  {
    IMenu menu;
    menu.AddItem("outer", &submenu);
    EXPECT_EQ(menu.GetItem(0)->Submenu(), &submenu);
    EXPECT_EQ(menu.GetItem(0)->Flags(), 0);
    EXPECT_EQ(menu.GetItem(1), nullptr);
    EXPECT_EQ(menu.ChosenItemIdx(), -1);
  }
  EXPECT_EQ(submenu.NItems(), 1);
  EXPECT_EQ(submenu.GetItem(0)->Text(), "inner");
}

TEST(PopupMenuNumberingTest, EachMenuReservesItsIdsBeforeItsSubmenus)
{
  IMenu root, first, second, nested;
  root.AddItem("a");
  root.AddItem("first", &first);
  root.AddItem("b");
  root.AddItem("second", &second);
  first.AddItem("f0");
  first.AddItem("nested", &nested);
  nested.AddItem("n0");
  nested.AddItem("n1");
  second.AddItem("s0");

  const PopupMenuNumbering numbering(root, 1);
  const auto& ranges = numbering.Ranges();
  ASSERT_EQ(ranges.size(), 4u);
  // Root: ids 1..4; first: 5..6; nested (depth first, inside first): 7..8;
  // second: 9.
  EXPECT_EQ(ranges[0].menu, &root);
  EXPECT_EQ(ranges[0].firstId, 1);
  EXPECT_EQ(ranges[1].menu, &first);
  EXPECT_EQ(ranges[1].firstId, 5);
  EXPECT_EQ(ranges[2].menu, &nested);
  EXPECT_EQ(ranges[2].firstId, 7);
  EXPECT_EQ(ranges[3].menu, &second);
  EXPECT_EQ(ranges[3].firstId, 9);
  EXPECT_EQ(ranges[0].childRange, (std::vector<int>{-1, 1, -1, 3}));
  EXPECT_EQ(ranges[1].childRange, (std::vector<int>{-1, 2}));
}

TEST(PopupMenuNumberingTest, FirstItemOfASubmenuIsChosenItemZero)
{
  for (int itemsBefore = 0; itemsBefore < 5; ++itemsBefore)
  {
    IMenu root, submenu;
    for (int i = 0; i < itemsBefore; ++i)
      root.AddItem("x");
    root.AddItem("sub", &submenu);
    submenu.AddItem("s0");
    submenu.AddItem("s1");
    const PopupMenuNumbering numbering(root);
    const int id = numbering.CommandId(1, 0);
    EXPECT_EQ(numbering.Resolve(id), &submenu);
    EXPECT_EQ(submenu.ChosenItemIdx(), 0);
    EXPECT_EQ(root.ChosenItemIdx(), -1);
  }
}

TEST(PopupMenuNumberingTest, UnknownIdsResolveToNothing)
{
  IMenu root;
  root.AddItem("only");
  const PopupMenuNumbering numbering(root, 1);
  EXPECT_EQ(numbering.Resolve(0), nullptr);
  EXPECT_EQ(numbering.Resolve(2), nullptr);
  EXPECT_EQ(root.ChosenItemIdx(), -1);
  EXPECT_EQ(numbering.Resolve(1), &root);
  EXPECT_EQ(root.ChosenItemIdx(), 0);
  EXPECT_EQ(numbering.CommandId(0, 1), -1);
  EXPECT_EQ(numbering.CommandId(5, 0), -1);
}

TEST(PopupMenuNumberingTest, SeparatorsTakeIdsButNoSubmenu)
{
  IMenu root, submenu;
  submenu.AddItem("s");
  root.AddItem("a");
  root.AddSeparator();
  IMenuItem* separatorWithSubmenu = root.AddItem("sep", &submenu);
  separatorWithSubmenu->SetFlags(IMenuItem::kSeparator);
  root.AddItem("b");
  const PopupMenuNumbering numbering(root, 1);
  ASSERT_EQ(numbering.Ranges().size(), 1u);
  EXPECT_EQ(numbering.Resolve(4), &root);
  EXPECT_EQ(root.ChosenItemIdx(), 3);
}

TEST(PopupMenuNumberingTest, AMenuListingItsAncestorEnds)
{
  IMenu root, submenu;
  root.AddItem("down", &submenu);
  submenu.AddItem("up", &root);
  submenu.AddItem("leaf");
  const PopupMenuNumbering numbering(root, 1);
  ASSERT_EQ(numbering.Ranges().size(), 2u);
  EXPECT_EQ(numbering.Ranges()[1].childRange, (std::vector<int>{-1, -1}));
}

TEST(FileDialogFilterTest, SingleExtension)
{
  const FileDialogFilter filter = BuildFileDialogFilter("thudwerkpreset");
  const char expected[] = "*.thudwerkpreset\0*.thudwerkpreset\0";
  ASSERT_TRUE(filter.HasFilter());
  EXPECT_EQ(std::memcmp(filter.filter, expected, sizeof(expected)), 0);
  EXPECT_STREQ(filter.defaultExtension, "thudwerkpreset");
}

TEST(FileDialogFilterTest, SeveralExtensionsJoinWithSemicolons)
{
  const FileDialogFilter filter = BuildFileDialogFilter("wav  aif aiff");
  const char expected[] = "*.wav;*.aif;*.aiff\0*.wav;*.aif;*.aiff\0";
  EXPECT_EQ(std::memcmp(filter.filter, expected, sizeof(expected)), 0);
  EXPECT_STREQ(filter.defaultExtension, "wav");
}

TEST(FileDialogFilterTest, NoExtensionsGiveNoFilter)
{
  EXPECT_FALSE(BuildFileDialogFilter("").HasFilter());
  EXPECT_FALSE(BuildFileDialogFilter("   ").HasFilter());
  EXPECT_FALSE(BuildFileDialogFilter(nullptr).HasFilter());
  EXPECT_STREQ(BuildFileDialogFilter(nullptr).defaultExtension, "");
}

TEST(FileDialogFilterTest, ALongFirstExtensionGivesNoDefault)
{
  const std::string fits(15, 'e');
  EXPECT_STREQ(BuildFileDialogFilter(fits.c_str()).defaultExtension, fits.c_str());
  const std::string tooLong(16, 'e');
  const FileDialogFilter filter = BuildFileDialogFilter(tooLong.c_str());
  EXPECT_STREQ(filter.defaultExtension, "");
  // The pattern itself still fits and is kept.
  EXPECT_EQ(std::string(filter.filter), "*." + tooLong);
}

TEST(FileDialogFilterTest, ExtensionsBeyondTheBufferAreLeftOutWhole)
{
  // 40 extensions of 8 characters: each pattern takes 11 bytes with its
  // separator, far more than the buffer holds twice.
  std::string list;
  for (int i = 0; i < 40; ++i)
    list += std::string(i == 0 ? "" : " ") + "ext" + std::to_string(10000 + i);
  const FileDialogFilter filter = BuildFileDialogFilter(list.c_str());
  const std::string description(filter.filter);
  const std::string pattern(filter.filter + description.size() + 1);
  EXPECT_EQ(description, pattern);
  EXPECT_LE(2 * description.size() + 3, FileDialogFilter::kFilterCapacity);
  // Only whole patterns, in order: ";*.ext100NN" repeated.
  EXPECT_EQ(description.rfind("*.ext10000", 0), 0u);
  EXPECT_EQ((description.size() + 1) % 11, 0u);
  EXPECT_EQ(filter.filter[2 * description.size() + 2], '\0');

  // An extension longer than the buffer can take is skipped, later short
  // ones still come in.
  const std::string huge(300, 'h');
  const FileDialogFilter skipped = BuildFileDialogFilter((huge + " txt").c_str());
  EXPECT_EQ(std::string(skipped.filter), "*.txt");
  EXPECT_STREQ(skipped.defaultExtension, "");
}

TEST(FolderOfPathTest, KeepsTheTrailingSeparator)
{
  std::string folder = "unchanged";
  EXPECT_TRUE(FolderOfPath("C:\\Users\\me\\kick.thudwerkpreset", folder));
  EXPECT_EQ(folder, "C:\\Users\\me\\");
  EXPECT_TRUE(FolderOfPath("/home/me/kick.thudwerkpreset", folder));
  EXPECT_EQ(folder, "/home/me/");
  folder = "unchanged";
  EXPECT_FALSE(FolderOfPath("kick.thudwerkpreset", folder));
  EXPECT_EQ(folder, "unchanged");
}

TEST(WindowInputTest, KeyCodeTable)
{
  EXPECT_EQ(KeyCodeFromVirtualKey(32), 0);
  EXPECT_EQ(KeyCodeFromVirtualKey(38), 1);
  EXPECT_EQ(KeyCodeFromVirtualKey(40), 2);
  EXPECT_EQ(KeyCodeFromVirtualKey(37), 3);
  EXPECT_EQ(KeyCodeFromVirtualKey(39), 4);
  for (int digit = 0; digit <= 9; ++digit)
    EXPECT_EQ(KeyCodeFromVirtualKey(48 + digit), 5 + digit);
  for (int letter = 0; letter < 26; ++letter)
  {
    EXPECT_EQ(KeyCodeFromVirtualKey(65 + letter), 15 + letter);
    EXPECT_EQ(KeyCodeFromVirtualKey(97 + letter), 15 + letter);
  }
  EXPECT_EQ(KeyCodeFromVirtualKey(9), -1);  // Tab
  EXPECT_EQ(KeyCodeFromVirtualKey(13), -1); // Enter
  EXPECT_EQ(KeyCodeFromVirtualKey(91), -1);
}

TEST(WindowInputTest, WheelNotchesTruncateTowardZero)
{
  EXPECT_EQ(WheelNotches(120), 1);
  EXPECT_EQ(WheelNotches(60), 0);
  EXPECT_EQ(WheelNotches(-60), 0);
  EXPECT_EQ(WheelNotches(-240), -2);
  EXPECT_EQ(WheelNotches(-250), -2);
  EXPECT_EQ(WheelNotches(-32768), -273);
}

TEST(WindowInputTest, MouseKeysAndPositions)
{
  const IMouseKeys keys = MouseKeysFromKeyState(0x0001 | 0x0008, true);
  EXPECT_TRUE(keys.L);
  EXPECT_FALSE(keys.R);
  EXPECT_FALSE(keys.S);
  EXPECT_TRUE(keys.C);
  EXPECT_TRUE(keys.A);
  const IMouseKeys right = MouseKeysFromKeyState(0x0002 | 0x0004, false);
  EXPECT_TRUE(right.R);
  EXPECT_TRUE(right.S);
  EXPECT_FALSE(right.A);
  // Positions are signed 16-bit words: left of or above the window is
  // negative.
  const intptr_t packed = intptr_t((uint32_t(uint16_t(-5)) << 16) | uint16_t(-7));
  EXPECT_EQ(PositionX(packed), -7);
  EXPECT_EQ(PositionY(packed), -5);
}
