#include "headless/headless_fixture.h"

#include "bitmap_control.h"
#include "file_selector_control.h"
#include "knob_control.h"
#include "text_control.h"

#include <cmath>
#include <string>
#include <thread>
#include <vector>

using Event = EditorTestPlug::Event;

namespace
{
IMouseKeys Left()
{
  return IMouseKeys(true, false, false, false, false);
}
IMouseKeys Modified(bool shift, bool control)
{
  return IMouseKeys(true, false, shift, control, false);
}

// A knob image of the normal-scale build: 99 frames of 40 x 40 (no pixels
// needed for the arithmetic).
const IImage kKnobStrip(nullptr, 40, 3960, 99);
} // namespace

class ControlsTest : public HeadlessEditorTest
{
protected:
  std::vector<double> ValuesSent() const
  {
    std::vector<double> values;
    for (const Event& event : plug.EventsOf(Event::kValue))
      values.push_back(event.value);
    return values;
  }
};

TEST_F(ControlsTest, FirstPushedValueIsTheDefaultAndDoesNotDirty)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 4, 4), 0);
  graphics->AddControl(control);
  plug.GetParam(0)->SetClamped(0.4);
  Attach();
  EXPECT_DOUBLE_EQ(control->GetDefaultValue(), 0.4);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.4);
  EXPECT_FALSE(control->IsDirtyAgain());
  graphics->Tick();
  EXPECT_FALSE(control->IsDirty());

  // The same value again changes nothing.
  graphics->PushParamToControls(0, 0.4, true);
  EXPECT_FALSE(control->IsDirty());

  // A new value is drawn in two consecutive ticks.
  graphics->PushParamToControls(0, 0.7, true);
  EXPECT_TRUE(control->IsDirty());
  EXPECT_EQ(graphics->Tick(), control->GetRECT());
  EXPECT_EQ(graphics->Tick(), control->GetRECT());
  EXPECT_TRUE(graphics->Tick().Empty());
  EXPECT_DOUBLE_EQ(control->GetDefaultValue(), 0.4);
  // Pushing never reaches the plug back.
  EXPECT_TRUE(plug.EventsOf(Event::kValue).empty());
}

TEST_F(ControlsTest, ValuesPushedFromOtherThreadsReachControlsAtTheNextRedraw)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 4, 4), 0);
  graphics->AddControl(control);
  Attach();
  graphics->Tick();
  // Two pushes from an audio thread: the control is left alone, the last
  // value waits.
  std::thread(
      [this]
      {
        graphics->PushParamToControls(0, 0.3, true);
        graphics->PushParamToControls(0, 0.6, true);
      })
      .join();
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.0);
  EXPECT_EQ(graphics->Tick(), control->GetRECT());
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.6);
  // A later push on the editor's own thread wins over an older waiting one.
  std::thread([this] { graphics->PushParamToControls(0, 0.2, true); }).join();
  graphics->PushParamToControls(0, 0.9, true);
  graphics->Tick();
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.9);
}

TEST_F(ControlsTest, PlainValuesAreLimitedAndNormalized)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 4, 4), EditorTestPlug::kIntParam);
  graphics->AddControl(control);
  Attach();
  // Range -10..10: 20 is limited to 10, which is 1.0.
  graphics->PushParamToControls(EditorTestPlug::kIntParam, 20.0, false);
  EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
  graphics->PushParamToControls(EditorTestPlug::kIntParam, -5.0, false);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.25);
  // An unknown parameter reaches nothing.
  graphics->PushParamToControls(99, 1.0, false);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.25);
}

TEST_F(ControlsTest, RefreshFromThePlugReachesBoundAndAuxiliaryControls)
{
  auto* bound = new RecordingControl(&plug, IRect(0, 0, 4, 4), 1);
  auto* follower = new RecordingControl(&plug, IRect(4, 0, 8, 4), 2);
  follower->AddAuxParam(3);
  follower->AddAuxParam(1);
  graphics->AddControl(bound);
  graphics->AddControl(follower);
  Attach();
  graphics->Tick();
  plug.GetParam(1)->SetClamped(0.75);
  plug.RefreshParamControls();
  EXPECT_DOUBLE_EQ(bound->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(follower->GetAuxParam(1)->mValue, 0.75);
  EXPECT_DOUBLE_EQ(follower->GetAuxParam(0)->mValue, 0.0);
  EXPECT_TRUE(follower->IsDirty());
  EXPECT_TRUE(follower->IsDirtyAgain());
  EXPECT_EQ(follower->GetAuxParam(2), nullptr);
}

TEST_F(ControlsTest, TwoFrameSwitchToggles)
{
  IImage strip(nullptr, 15, 30, 2);
  auto* toggle = new ISwitchControl(&plug, 0, 0, 1, strip);
  graphics->AddControl(toggle);
  Attach();
  EXPECT_EQ(toggle->GetRECT(), IRect(0, 0, 15, 15));
  Click(3, 3);
  Click(3, 3);
  Click(3, 3);
  EXPECT_EQ(ValuesSent(), (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 1.0);
  // A double click counts as one more press.
  IMouseKeys left = Left();
  graphics->OnMouseDblClick(3, 3, &left);
  EXPECT_DOUBLE_EQ(toggle->GetValue(), 0.0);
}

TEST_F(ControlsTest, SingleFrameSwitchAlternates)
{
  IImage single(nullptr, 10, 10, 1);
  auto* toggle = new ISwitchControl(&plug, 0, 0, 1, single);
  graphics->AddControl(toggle);
  Attach();
  Click(3, 3);
  Click(3, 3);
  EXPECT_EQ(ValuesSent(), (std::vector<double>{1.0, 0.0}));
}

TEST_F(ControlsTest, ContactSendsOneOnPressAndZeroOnRelease)
{
  IImage button(nullptr, 20, 25, 1);
  graphics->AddControl(new IContactControl(&plug, 0, 0, 2, button));
  Attach();
  plug.events.clear();
  Click(5, 5);
  ASSERT_EQ(plug.events.size(), 4u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
  EXPECT_EQ(plug.events[1].kind, Event::kValue);
  EXPECT_DOUBLE_EQ(plug.events[1].value, 1.0);
  EXPECT_EQ(plug.events[2].kind, Event::kValue);
  EXPECT_DOUBLE_EQ(plug.events[2].value, 0.0);
  EXPECT_EQ(plug.events[3].kind, Event::kEnd);
}

TEST_F(ControlsTest, KnobDragArithmetic)
{
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, kKnobStrip);
  graphics->AddControl(knob);
  plug.GetParam(0)->SetClamped(0.5);
  Attach();
  EXPECT_EQ(knob->GetRECT(), IRect(0, 0, 40, 40));

  // Ten pixels up with Control: 10 / (40 * 4 * 10).
  IMouseKeys fine = Modified(false, true);
  graphics->OnMouseDown(20, 20, &fine);
  graphics->OnMouseDrag(20, 10, &fine);
  EXPECT_NEAR(knob->GetValue(), 0.5 + 10.0 / (40.0 * 40.0), 1e-12);
  // Shift is just as fine; moving down lowers the value.
  IMouseKeys shift = Modified(true, false);
  graphics->OnMouseDrag(20, 30, &shift);
  EXPECT_NEAR(knob->GetValue(), 0.5 - 10.0 / 1600.0, 1e-12);
  // Without a modifier a full sweep takes 160 pixels.
  IMouseKeys plain = Left();
  graphics->OnMouseDrag(20, 30 - 80, &plain);
  EXPECT_NEAR(knob->GetValue(), 0.5 - 10.0 / 1600.0 + 0.5, 1e-12);
  // Horizontal movement does not turn a vertical knob.
  const double before = knob->GetValue();
  graphics->OnMouseDrag(60, -50, &plain);
  EXPECT_DOUBLE_EQ(knob->GetValue(), before);
  // Far beyond the end it stops at 1.
  graphics->OnMouseDrag(60, -500, &plain);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  graphics->OnMouseUp(60, -500, &plain);
  EXPECT_DOUBLE_EQ(plug.EventsOf(Event::kValue).back().value, 1.0);
  EXPECT_EQ(plug.EventsOf(Event::kBegin).size(), 1u);
  EXPECT_EQ(plug.EventsOf(Event::kEnd).size(), 1u);
}

TEST_F(ControlsTest, HorizontalKnobFollowsXMovement)
{
  IImage strip(nullptr, 50, 500, 10);
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, strip, IKnobControl::kHorizontal);
  graphics->AddControl(knob);
  Attach();
  IMouseKeys left = Left();
  graphics->OnMouseDown(10, 10, &left);
  graphics->OnMouseDrag(30, 0, &left);
  // 20 pixels right over a 50-pixel-wide knob at gearing 4.
  EXPECT_NEAR(knob->GetValue(), 20.0 / 50.0 / 4.0, 1e-12);
}

TEST_F(ControlsTest, KnobWheelClampsAndResendsEvenWithoutMovement)
{
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, kKnobStrip);
  graphics->AddControl(knob);
  plug.GetParam(0)->SetClamped(0.995);
  Attach();
  IMouseKeys none;
  graphics->OnMouseWheel(5, 5, &none, 1);
  EXPECT_EQ(knob->GetValue(), 1.0);
  ASSERT_EQ(ValuesSent().size(), 1u);
  EXPECT_EQ(ValuesSent()[0], 1.0);

  graphics->OnMouseWheel(5, 5, &none, 0);
  EXPECT_EQ(knob->GetValue(), 1.0);
  EXPECT_EQ(ValuesSent().size(), 2u);

  IMouseKeys fine(false, false, false, true, false);
  graphics->OnMouseWheel(5, 5, &fine, -3);
  EXPECT_NEAR(knob->GetValue(), 1.0 - 0.003, 1e-12);
  graphics->OnMouseWheel(5, 5, &none, -2);
  EXPECT_NEAR(knob->GetValue(), 1.0 - 0.003 - 0.02, 1e-12);
}

TEST_F(ControlsTest, UnboundControlKeepsItsChangesLocal)
{
  IImage strip(nullptr, 10, 20, 2);
  auto* toggle = new ISwitchControl(&plug, 0, 0, -1, strip);
  graphics->AddControl(toggle);
  Attach();
  plug.events.clear();
  Click(2, 2);
  EXPECT_DOUBLE_EQ(toggle->GetValue(), 1.0);
  EXPECT_TRUE(plug.events.empty());
}

TEST_F(ControlsTest, UserInputIsClampedAndDirtiesTwice)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 4, 4), 0);
  graphics->AddControl(control);
  Attach();
  graphics->Tick();
  control->TakeValueFromUserInput(1.5);
  EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
  EXPECT_EQ(ValuesSent(), (std::vector<double>{1.0}));
  EXPECT_TRUE(control->IsDirtyAgain());
  control->TakeValueFromUserInput(1.0);
  EXPECT_EQ(ValuesSent().size(), 1u);
}

TEST_F(ControlsTest, TextControlRedrawsOnlyForNewText)
{
  ITextStyle style;
  auto* text = new ITextControl(&plug, IRect(0, 0, 30, 10), style, "< Presets >");
  graphics->AddControl(text);
  Attach();
  graphics->Tick();
  text->ShowTextFromPlug("< Presets >");
  EXPECT_FALSE(text->IsDirty());
  text->ShowTextFromPlug("Boom");
  EXPECT_TRUE(text->IsDirty());
  EXPECT_EQ(text->GetTextString(), "Boom");
  EXPECT_EQ(text->ParamIdx(), -1);
}

TEST_F(ControlsTest, ValueAndNameDisplaysFollowPushedChanges)
{
  ITextStyle style;
  auto* value = new ITextControl(&plug, IRect(0, 10, 40, 20), style);
  auto* name = new ITextControl(&plug, IRect(0, 20, 40, 30), style);
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, IImage(nullptr, 10, 990, 99));
  knob->SetValDisplayControl(value);
  knob->SetNameDisplayControl(name);
  graphics->AddControl(value);
  graphics->AddControl(name);
  graphics->AddControl(knob);
  Attach();
  IMouseKeys none;
  graphics->OnMouseWheel(2, 2, &none, 25);
  EXPECT_EQ(value->GetTextString(), "0.25000 dB");
  EXPECT_EQ(name->GetTextString(), "Level");
}

class FileSelectorTest : public ControlsTest
{
};

TEST_F(FileSelectorTest, CancelledPromptStillTogglesAndNotifies)
{
  IImage face = graphics->LoadImageById(kStripId, "strip.png", 3);
  auto* selector =
      new IFileSelectorControl(&plug, IRect(0, 0, 4, 4), 2, face, IFileSelectorControl::kFileSave,
                               "/presets/", "thudwerkpreset");
  graphics->AddControl(selector);
  Attach();
  graphics->Tick();
  plug.events.clear();
  Click(1, 1);
  EXPECT_EQ(graphics->LastFileAction(), IFileSelectorControl::kFileSave);
  EXPECT_EQ(graphics->LastFileExtensions(), "thudwerkpreset");
  EXPECT_EQ(selector->GetLastSelectedFileForPlug(), "");
  EXPECT_EQ(selector->GetFolder(), "/presets/");
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kDialogFinished);
  EXPECT_EQ(ValuesSent(), (std::vector<double>{1.0}));

  graphics->QueueFileChoice("/home/me/kicks/Deep.thudwerkpreset");
  Click(1, 1);
  EXPECT_EQ(selector->GetLastSelectedFileForPlug(), "/home/me/kicks/Deep.thudwerkpreset");
  EXPECT_EQ(selector->GetFolder(), "/home/me/kicks/");
  EXPECT_EQ(ValuesSent(), (std::vector<double>{1.0, 0.0}));
}

TEST_F(FileSelectorTest, AnEmptyFolderStartsOnTheDesktop)
{
  auto* selector = new IFileSelectorControl(&plug, IRect(0, 0, 4, 4), 2, IImage(),
                                            IFileSelectorControl::kFileOpen);
  graphics->AddControl(selector);
  Attach();
  Click(1, 1);
  std::string desktop;
  graphics->DesktopFolder(desktop);
  EXPECT_EQ(selector->GetFolder(), desktop);
}

TEST_F(FileSelectorTest, StatesAcrossTicks)
{
  // An editor whose prompt draws a tick while it is open, as the window's
  // timer does during a modal dialog.
  struct PromptingEditor : IGraphicsHeadless
  {
    using IGraphicsHeadless::IGraphicsHeadless;
    void AskForFile(std::string& file, int action, std::string& folder,
                    const char* extensions) override
    {
      auto* selector = static_cast<IFileSelectorControl*>(GetControl(1));
      stateWhileOpen = selector->GetState();
      drawnWhileOpen = Tick();
      pixelWhileOpen = PixelAt(GetDrawBitmap(), 1, 1);
      IGraphicsHeadless::AskForFile(file, action, folder, extensions);
    }
    int stateWhileOpen = -1;
    IRect drawnWhileOpen;
    LICE_pixel pixelWhileOpen = 0;
  };
  auto* editor = new PromptingEditor(&plug, 40, 40);
  editor->SetModuleInstance(TestImageModule());
  editor->SetBackgroundImage(kBackgroundId, "background.png");
  IImage face = editor->LoadImageById(kStripId, "strip.png", 3);
  auto* selector = new IFileSelectorControl(&plug, IRect(0, 0, 4, 4), 2, face,
                                            IFileSelectorControl::kFileOpen, "/x/", "a b");
  editor->AddControl(selector);
  plug.AttachEditor(editor);
  editor->Tick();
  EXPECT_EQ(PixelAt(editor->GetDrawBitmap(), 1, 1), BackgroundPixel(1, 1));

  IMouseKeys left = Left();
  editor->OnMouseDown(1, 1, &left);
  EXPECT_EQ(editor->stateWhileOpen, IFileSelectorControl::kDialogOpen);
  EXPECT_EQ(editor->drawnWhileOpen, selector->GetRECT());
  // The image shows (top-left part, frame 1) only while the prompt is open.
  EXPECT_EQ(editor->pixelWhileOpen, kStripColors[0]);
  editor->OnMouseUp(1, 1, &left);

  // Dirty from the value change, then once more for the finished prompt.
  EXPECT_EQ(editor->Tick(), selector->GetRECT());
  EXPECT_EQ(PixelAt(editor->GetDrawBitmap(), 1, 1), BackgroundPixel(1, 1));
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kDialogFinished);
  EXPECT_EQ(editor->Tick(), selector->GetRECT());
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kIdle);
  EXPECT_TRUE(editor->Tick().Empty());
  owned.reset();
}

TEST_F(FileSelectorTest, NothingHappensOutsideAnEditor)
{
  IFileSelectorControl loose(&plug, IRect(0, 0, 4, 4), 2, IImage(), 0);
  IMouseKeys left = Left();
  loose.OnMouseDown(1, 1, &left);
  EXPECT_EQ(loose.GetState(), IFileSelectorControl::kIdle);
  EXPECT_DOUBLE_EQ(loose.GetValue(), 0.0);
  Attach();
}
