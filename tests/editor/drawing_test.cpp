#include "headless/headless_fixture.h"

#include "bitmap_control.h"
#include "file_selector_control.h"
#include "font_cache.h"
#include "image_cache.h"
#include "knob_control.h"
#include "panel_control.h"
#include "text_control.h"

#include "lice_bitmap.h"
#include "lice_png.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class DrawingTest : public HeadlessEditorTest
{
protected:
  void AddBackground() { graphics->SetBackgroundImage(kBackgroundId, "background.png"); }
};

TEST_F(DrawingTest, FirstTickPaintsEveryControl)
{
  AddBackground();
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  graphics->AddControl(new ISwitchControl(&plug, 10, 12, 1, strip));
  Attach();
  const IRect drawn = graphics->Tick();
  EXPECT_EQ(drawn, IRect(0, 0, 40, 40));
  EXPECT_EQ(graphics->LastScreenRect(), drawn);
  for (int y = 0; y < 40; y += 7)
    for (int x = 0; x < 40; x += 3)
    {
      const bool onSwitch = x >= 10 && x < 14 && y >= 12 && y < 16;
      EXPECT_EQ(Pixel(x, y), onSwitch ? kStripColors[0] : BackgroundPixel(x, y)) << x << ", " << y;
    }
  EXPECT_TRUE(graphics->Tick().Empty());
}

TEST_F(DrawingTest, BackgroundIsFirstAndCopiedPlainly)
{
  graphics->AddControl(new IPanelControl(&plug, IRect(0, 0, 5, 5), COLOR_WHITE));
  AddBackground();
  ASSERT_EQ(graphics->NControls(), 2);
  auto* background = dynamic_cast<IBitmapControl*>(graphics->GetControl(0));
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->GetRECT(), IRect(0, 0, 40, 40));
  EXPECT_EQ(background->ParamIdx(), -1);
  EXPECT_EQ(background->GetBlend().mMethod, IBlend::kBlendClobber);
  EXPECT_EQ(background->GetGUI(), graphics);
}

TEST_F(DrawingTest, SwitchFramesFollowItsValue)
{
  AddBackground();
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  graphics->AddControl(new ISwitchControl(&plug, 10, 12, 1, strip));
  Attach();
  graphics->Tick();
  // 3 frames: 0 -> frame 1, 0.5 -> frame 2, 1 -> frame 3, then wrap to 0.
  const LICE_pixel expected[] = {kStripColors[1], kStripColors[2], kStripColors[0]};
  for (LICE_pixel colour : expected)
  {
    Click(11, 13);
    const IRect drawn = graphics->Tick();
    EXPECT_EQ(drawn, IRect(10, 12, 14, 16));
    EXPECT_EQ(Pixel(13, 15), colour);
    EXPECT_EQ(Pixel(9, 15), BackgroundPixel(9, 15));
  }
}

TEST_F(DrawingTest, IsDirtyGrowsTheRectByExactlyTheDirtyControls)
{
  auto* a = new RecordingControl(&plug, IRect(2, 3, 8, 9));
  auto* b = new RecordingControl(&plug, IRect(20, 25, 30, 31));
  graphics->AddControl(a);
  graphics->AddControl(b);
  Attach();
  graphics->Tick();
  IRect rect;
  EXPECT_FALSE(graphics->IsDirty(rect));
  EXPECT_TRUE(rect.Empty());
  IRect given(1, 1, 2, 2);
  EXPECT_FALSE(graphics->IsDirty(given));
  EXPECT_EQ(given, IRect(1, 1, 2, 2));

  b->SetDirty(false);
  EXPECT_TRUE(graphics->IsDirty(rect));
  EXPECT_EQ(rect, b->GetRECT());
  a->SetDirty(false);
  IRect both;
  EXPECT_TRUE(graphics->IsDirty(both));
  EXPECT_EQ(both, IRect(2, 3, 30, 31));
}

TEST_F(DrawingTest, OnlyControlsMeetingTheRedrawnAreaDraw)
{
  auto* a = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  auto* b = new RecordingControl(&plug, IRect(20, 20, 30, 30));
  graphics->AddControl(a);
  graphics->AddControl(b);
  Attach();
  graphics->Tick();
  // A new draw bitmap's first redraw also asks each control which images
  // it reads, before it draws.
  const int firstDraws = a->draws;
  EXPECT_GE(firstDraws, 1);
  EXPECT_EQ(b->draws, firstDraws);
  b->SetDirty(false);
  graphics->Tick();
  EXPECT_EQ(a->draws, firstDraws);
  EXPECT_EQ(b->draws, firstDraws + 1);
  EXPECT_FALSE(b->IsDirty());
}

TEST_F(DrawingTest, HiddenControlIsRepaintedByWhatLiesBeneath)
{
  AddBackground();
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  auto* button = new IBitmapControl(&plug, 4, 4, -1, strip);
  graphics->AddControl(button);
  Attach();
  graphics->Tick();
  EXPECT_EQ(Pixel(5, 5), kStripColors[0]);
  button->Hide(true);
  EXPECT_EQ(graphics->Tick(), button->GetRECT());
  EXPECT_EQ(Pixel(5, 5), BackgroundPixel(5, 5));
  // Hiding also set dirty-again: one more redraw of the same area.
  EXPECT_EQ(graphics->Tick(), button->GetRECT());
  EXPECT_TRUE(graphics->Tick().Empty());
}

TEST_F(DrawingTest, TransparentImagePixelsLeaveTheBackground)
{
  AddBackground();
  IImage badge = graphics->LoadImageById(kBadgeId, "badge.png");
  graphics->AddControl(new IBitmapControl(&plug, 10, 10, -1, badge));
  Attach();
  graphics->Tick();
  for (int x = 10; x < 16; ++x)
    EXPECT_EQ(Pixel(x, 12), x >= 13 ? kBadgeColor : BackgroundPixel(x, 12)) << x;
}

TEST_F(DrawingTest, GreyedControlDrawsAtAQuarterWeight)
{
  AddBackground();
  IImage badge = graphics->LoadImageById(kBadgeId, "badge.png");
  auto* control = new IBitmapControl(&plug, 10, 10, -1, badge);
  graphics->AddControl(control);
  Attach();
  control->SetGrayed(true);
  EXPECT_FLOAT_EQ(control->GetBlend().mWeight, 0.25f);
  graphics->Tick();
  // Neither the bare background nor the full badge colour.
  EXPECT_NE(Pixel(14, 12), kBadgeColor);
  EXPECT_NE(Pixel(14, 12), BackgroundPixel(14, 12));
  EXPECT_EQ(Pixel(11, 12), BackgroundPixel(11, 12));
  control->SetGrayed(false);
  EXPECT_FLOAT_EQ(control->GetBlend().mWeight, 1.0f);
}

TEST_F(DrawingTest, KnobFramesOfANinetyNineFrameStrip)
{
  // Row r of the strip carries r in its red and green bytes.
  LICE_MemBitmap tall(1, 3960);
  for (int row = 0; row < 3960; ++row)
    tall.Bits()[row * tall.RowSpan()] = LICE_Rgba(row & 0xFF, row >> 8, 0, 255);
  const IImage strip(&tall, 1, 3960, 99);
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, strip);
  graphics->AddControl(knob);
  Attach();
  EXPECT_EQ(knob->GetRECT(), IRect(0, 0, 1, 40));
  const auto rowShown = [&]()
  {
    const LICE_pixel p = Pixel(0, 0);
    return LICE_RedOf(p) + 256 * LICE_GreenOf(p);
  };
  graphics->Tick();
  EXPECT_EQ(rowShown(), 0);
  knob->SetValue(1.0);
  knob->SetDirty(false);
  graphics->Tick();
  // Frame 99 starts at int(3960 * 98 / 99 + 0.5) = 3920.
  EXPECT_EQ(rowShown(), 3920);
  EXPECT_EQ(LICE_RedOf(Pixel(0, 39)) + 256 * LICE_GreenOf(Pixel(0, 39)), 3959);
  knob->SetValue(0.5);
  knob->SetDirty(false);
  graphics->Tick();
  // 0.5 shows frame int(98 * 0.5 + 0.5) + 1 = 50, which starts at row 1960.
  EXPECT_EQ(rowShown(), 1960);
}

TEST(FrameForValueTest, EndsAndRounding)
{
  EXPECT_EQ(FrameForValue(99, 0.0), 1);
  EXPECT_EQ(FrameForValue(99, 1.0), 99);
  EXPECT_EQ(FrameForValue(2, 0.0), 1);
  EXPECT_EQ(FrameForValue(2, 1.0), 2);
  EXPECT_EQ(FrameForValue(2, 0.49), 1);
  EXPECT_EQ(FrameForValue(2, 0.5), 2);
  EXPECT_EQ(FrameForValue(1, 0.8), 1);
  EXPECT_EQ(FrameForValue(0, 0.8), 1);
  // Values pushed unclamped still pick a frame of the strip.
  EXPECT_EQ(FrameForValue(99, 7.0), 99);
  EXPECT_EQ(FrameForValue(99, -3.0), 1);
  EXPECT_EQ(FrameForValue(99, std::nan("")), 1);
}

TEST_F(DrawingTest, DrawImageClipsToTheRedrawnArea)
{
  AddBackground();
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  auto* left = new IBitmapControl(&plug, 10, 10, -1, strip);
  auto* touching = new RecordingControl(&plug, IRect(12, 10, 20, 14));
  graphics->AddControl(left);
  graphics->AddControl(touching);
  Attach();
  graphics->Tick();
  // Paint over the image, then redraw only the touching control's area:
  // the image is drawn again but clipped, so columns 10 and 11 keep the
  // paint.
  graphics->FillRect(COLOR_WHITE, IRect(10, 10, 14, 14));
  touching->SetDirty(false);
  graphics->Tick();
  EXPECT_EQ(Pixel(11, 11), COLOR_WHITE.Packed());
  EXPECT_EQ(Pixel(12, 11), kStripColors[0]);
}

TEST_F(DrawingTest, PanelDarkensWhatLiesBeneath)
{
  AddBackground();
  graphics->AddControl(new IPanelControl(&plug, IRect(0, 0, 10, 10), IRgba(140, 0, 0, 0)));
  Attach();
  graphics->Tick();
  const LICE_pixel under = BackgroundPixel(8, 8);
  const LICE_pixel shown = Pixel(8, 8);
  // Alpha compositing a black colour of alpha 140 keeps about 116/256 of
  // each channel.
  EXPECT_NEAR(LICE_RedOf(shown), LICE_RedOf(under) * 116 / 256, 2);
  EXPECT_NEAR(LICE_GreenOf(shown), LICE_GreenOf(under) * 116 / 256, 2);
  EXPECT_EQ(Pixel(12, 8), BackgroundPixel(12, 8));
}

TEST_F(DrawingTest, MissingImageDrawsNothingAndIsTriedAgain)
{
  AddBackground();
  const int cached = ImageCache::Size();
  const IImage missing = graphics->LoadImageById(kMissingId, "missing.png", 2);
  EXPECT_EQ(missing.mBitmap, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(missing.H, 0);
  EXPECT_EQ(ImageCache::Size(), cached);
  auto* picture = new IBitmapControl(&plug, 5, 5, 1, missing);
  auto* knob = new IKnobMultiControl(&plug, 6, 6, 2, missing);
  graphics->AddControl(picture);
  graphics->AddControl(knob);
  graphics->AddControl(new IFileSelectorControl(&plug, IRect(0, 0, 4, 4), 3, missing, 0));
  Attach();
  EXPECT_EQ(picture->GetRECT(), IRect(5, 5, 5, 5));
  graphics->Tick();
  EXPECT_EQ(Pixel(5, 5), BackgroundPixel(5, 5));
  // A control without extent is never hit.
  Click(5, 5);
  EXPECT_EQ(graphics->GetMouseCapture(), -1);
  // Dragging a knob without extent changes nothing and divides by nothing.
  IMouseKeys left(true, false, false, false, false);
  knob->OnMouseDrag(6, 0, 0, -6, &left);
  EXPECT_TRUE(std::isfinite(knob->GetValue()));
  // A file name that is not a PNG loads nothing either.
  EXPECT_EQ(graphics->LoadImageById(kStripId + 50, "strip.bmp").mBitmap, nullptr);
}

TEST_F(DrawingTest, ImagesAreSharedByIdAcrossEditors)
{
  const IImage first = graphics->LoadImageById(kStripId, "strip.png", 3);
  ASSERT_NE(first.mBitmap, nullptr);
  EXPECT_EQ(first.W, 4);
  EXPECT_EQ(first.H, 12);
  EXPECT_EQ(first.N, 3);
  const int cached = ImageCache::Size();
  // A second editor with no module at all still finds the image: the cache
  // answers by id and nothing is decoded again.
  EditorTestPlug otherPlug;
  IGraphicsHeadless other(&otherPlug, 40, 40);
  const IImage second = other.LoadImageById(kStripId, "anything.png", 1);
  EXPECT_EQ(second.mBitmap, first.mBitmap);
  EXPECT_EQ(second.N, 1);
  EXPECT_EQ(ImageCache::Size(), cached);
  Attach();
}

TEST_F(DrawingTest, DrawingWithoutABitmapDoesNothing)
{
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  EXPECT_FALSE(graphics->DrawImage(strip, IRect(0, 0, 4, 4), 0, 0));
  EXPECT_FALSE(graphics->FillRect(COLOR_WHITE, IRect(0, 0, 4, 4)));
  ITextStyle text;
  EXPECT_FALSE(graphics->DrawText(&text, "x", IRect(0, 0, 10, 10)));
  EXPECT_TRUE(graphics->DrawText(&text, "", IRect(0, 0, 10, 10)));
}

TEST_F(DrawingTest, ZeroSizedEditorDrawsNothing)
{
  EditorTestPlug otherPlug;
  auto* empty = new IGraphicsHeadless(&otherPlug, 0, 0);
  empty->SetModuleInstance(TestImageModule());
  empty->SetBackgroundImage(kBackgroundId, "background.png");
  otherPlug.AttachEditor(empty);
  ASSERT_NE(empty->GetDrawBitmap(), nullptr);
  EXPECT_EQ(empty->GetDrawBitmap()->Bits(), nullptr);
  EXPECT_EQ(empty->Tick(), IRect(0, 0, 40, 40));
  Attach();
}

TEST_F(DrawingTest, TextIsDrawnAndMeasured)
{
  AddBackground();
  const ITextStyle style(14, COLOR_WHITE, "Arial", ITextStyle::kStyleBold, ITextStyle::kAlignNear);
  auto* label = new ITextControl(&plug, IRect(0, 0, 40, 20), style, "Kick");
  graphics->AddControl(label);
  Attach();
  graphics->Tick();
  int changed = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x)
      changed += Pixel(x, y) != BackgroundPixel(x, y);
  EXPECT_GT(changed, 10);
  EXPECT_NE(label->GetText()->mCached, nullptr);

  ITextStyle measured = style;
  IRect nearRect(10, 5, 30, 5);
  ASSERT_TRUE(graphics->MeasureText(&measured, "Kick", nearRect));
  const int w = nearRect.W();
  const int h = nearRect.H();
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
  EXPECT_EQ(nearRect.L, 10);
  measured.mAlign = ITextStyle::kAlignFar;
  IRect farRect(10, 5, 30, 5);
  graphics->MeasureText(&measured, "Kick", farRect);
  EXPECT_EQ(farRect, IRect(30 - w, 5, 30, 5 + h));
  measured.mAlign = ITextStyle::kAlignCenter;
  IRect centreRect(11, 5, 30, 5);
  graphics->MeasureText(&measured, "Kick", centreRect);
  // The middle of 11..30 is 20.5, cut to 20.
  EXPECT_EQ(centreRect, IRect(20 - w / 2, 5, 20 - w / 2 + w, 5 + h));
}

TEST_F(DrawingTest, FontsAreSharedByDescriptionNotQuality)
{
  ITextStyle a(15, COLOR_BLACK, "Arial", ITextStyle::kStyleNormal, ITextStyle::kAlignNear);
  ITextStyle b = a;
  b.mQuality = ITextStyle::kQualityNonAntiAliased;
  b.mColor = COLOR_WHITE;
  ITextStyle c = a;
  c.mStyle = ITextStyle::kStyleItalic;
  LICE_CachedFont* fontA = graphics->CacheFont(&a);
  ASSERT_NE(fontA, nullptr);
  const int cached = FontCache::Size();
  EXPECT_EQ(graphics->CacheFont(&b), fontA);
  EXPECT_EQ(b.mCached, fontA);
  EXPECT_EQ(FontCache::Size(), cached);
  LICE_CachedFont* fontC = graphics->CacheFont(&c);
  EXPECT_NE(fontC, fontA);
  EXPECT_EQ(FontCache::Size(), cached + 1);
  Attach();
}

TEST_F(DrawingTest, ResizeDropsTheDragAndLeavesTheHostToTheCaller)
{
  AddBackground();
  graphics->AddControl(new RecordingControl(&plug, IRect(0, 0, 4, 4), 2));
  Attach();
  EXPECT_EQ(graphics->DraggedParamIdx(), -1);
  IMouseKeys left(true, false, false, false, false);
  graphics->OnMouseDown(1, 1, &left);
  EXPECT_EQ(graphics->DraggedParamIdx(), 2);
  plug.events.clear();
  graphics->Resize(60, 50);
  EXPECT_EQ(graphics->Width(), 60);
  EXPECT_EQ(graphics->Height(), 50);
  EXPECT_EQ(graphics->NControls(), 0);
  ASSERT_NE(graphics->GetDrawBitmap(), nullptr);
  EXPECT_EQ(graphics->GetDrawBitmap()->Width(), 60);
  EXPECT_EQ(graphics->GetDrawBitmap()->Height(), 50);
  // The caller may hold the instance lock: nothing reaches the host here.
  EXPECT_TRUE(plug.events.empty());
  EXPECT_EQ(graphics->DraggedParamIdx(), -1);
  EXPECT_TRUE(graphics->Tick().Empty());
}

TEST_F(DrawingTest, DrawBitmapWritesAsPng)
{
  AddBackground();
  Attach();
  graphics->Tick();
  const std::string path = ::testing::TempDir() + "editor_draw_bitmap.png";
  ASSERT_TRUE(graphics->WriteDrawBitmapPng(path.c_str()));
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<unsigned char> bytes(4096);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  std::remove(path.c_str());
  std::unique_ptr<LICE_MemBitmap> decoded(LoadPngFromMemory(bytes.data(), bytes.size()));
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->Width(), 40);
  EXPECT_EQ(PixelAt(decoded.get(), 17, 23), BackgroundPixel(17, 23));
}
