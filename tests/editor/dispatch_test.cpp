#include "headless/headless_fixture.h"

#include "knob_control.h"

#include <vector>

using Event = EditorTestPlug::Event;

namespace
{
IMouseKeys Left()
{
  return IMouseKeys(true, false, false, false, false);
}
IMouseKeys Right()
{
  return IMouseKeys(false, true, false, false, false);
}
} // namespace

class DispatchTest : public HeadlessEditorTest
{
protected:
  explicit DispatchTest(EApiKind api = kApiVST2) : HeadlessEditorTest(api) {}

  RecordingControl* Add(const IRect& rect, int paramIdx = -1)
  {
    auto* control = new RecordingControl(&plug, rect, paramIdx);
    graphics->AddControl(control);
    return control;
  }
};

TEST_F(DispatchTest, OverlappingControlsGoToTheLastAttached)
{
  RecordingControl* under = Add(IRect(0, 0, 20, 20));
  RecordingControl* over = Add(IRect(10, 10, 30, 30));
  Attach();
  Click(15, 15);
  EXPECT_EQ(over->downs, 1);
  EXPECT_EQ(over->ups, 1);
  EXPECT_EQ(under->downs, 0);
  Click(5, 5);
  EXPECT_EQ(under->downs, 1);
}

TEST_F(DispatchTest, HiddenAndGreyedControlsLetClicksFallThrough)
{
  RecordingControl* under = Add(IRect(0, 0, 20, 20));
  RecordingControl* over = Add(IRect(0, 0, 20, 20));
  Attach();
  over->Hide(true);
  Click(5, 5);
  EXPECT_EQ(under->downs, 1);
  over->Hide(false);
  over->SetGrayed(true);
  Click(5, 5);
  EXPECT_EQ(under->downs, 2);
  EXPECT_EQ(over->downs, 0);
  under->SetGrayed(true);
  Click(5, 5);
  EXPECT_EQ(under->downs, 2);
  EXPECT_EQ(graphics->GetMouseCapture(), -1);
}

TEST_F(DispatchTest, DragsCarryDeltasOnlyWhileCaptured)
{
  RecordingControl* control = Add(IRect(0, 0, 20, 20));
  Attach();
  IMouseKeys left = Left();
  graphics->OnMouseDown(5, 5, &left);
  graphics->OnMouseDrag(5, 5, &left);
  EXPECT_EQ(control->drags, 0);
  graphics->OnMouseDrag(8, 1, &left);
  EXPECT_EQ(control->drags, 1);
  EXPECT_EQ(control->lastDX, 3);
  EXPECT_EQ(control->lastDY, -4);
  // Deltas are from the previous drag position, wherever the pointer goes.
  graphics->OnMouseDrag(50, -7, &left);
  EXPECT_EQ(control->lastDX, 42);
  EXPECT_EQ(control->lastDY, -8);
  graphics->OnMouseUp(50, -7, &left);
  EXPECT_EQ(control->ups, 1);
  graphics->OnMouseDrag(9, 9, &left);
  EXPECT_EQ(control->drags, 2);
}

TEST_F(DispatchTest, PressOutsideEveryControlCapturesNothing)
{
  RecordingControl* control = Add(IRect(0, 0, 10, 10));
  Attach();
  IMouseKeys left = Left();
  graphics->OnMouseDown(30, 30, &left);
  EXPECT_EQ(graphics->GetMouseCapture(), -1);
  EXPECT_EQ(graphics->GetMouseX(), -1);
  graphics->OnMouseDrag(5, 5, &left);
  EXPECT_EQ(control->drags, 0);
}

TEST_F(DispatchTest, GesturesBracketAPressOnABoundControl)
{
  Add(IRect(0, 0, 20, 20), 2);
  Attach();
  plug.events.clear();
  Click(5, 5);
  ASSERT_EQ(plug.events.size(), 2u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
  EXPECT_EQ(plug.events[0].index, 2);
  EXPECT_EQ(plug.events[1].kind, Event::kEnd);
  EXPECT_EQ(plug.events[1].index, 2);
}

TEST_F(DispatchTest, ReleaseWithoutPressStillEndsAGesture)
{
  RecordingControl* control = Add(IRect(0, 0, 20, 20), 1);
  Attach();
  plug.events.clear();
  IMouseKeys left = Left();
  graphics->OnMouseUp(5, 5, &left);
  EXPECT_EQ(control->ups, 1);
  ASSERT_EQ(plug.events.size(), 1u);
  EXPECT_EQ(plug.events[0].kind, Event::kEnd);
  EXPECT_EQ(plug.events[0].index, 1);
  graphics->OnMouseUp(35, 35, &left);
  EXPECT_EQ(plug.events.size(), 1u);
}

TEST_F(DispatchTest, DoubleClickOnAKnobRestoresTheAttachedValueBetweenGestures)
{
  plug.GetParam(0)->SetClamped(0.25);
  IImage strip = graphics->LoadImageById(kStripId, "strip.png", 3);
  auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, strip);
  graphics->AddControl(knob);
  Attach();
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.25);
  knob->SetValue(0.9);
  plug.events.clear();

  // The window reports: press, release, double click, release.
  IMouseKeys left = Left();
  graphics->OnMouseDown(2, 2, &left);
  graphics->OnMouseUp(2, 2, &left);
  EXPECT_FALSE(graphics->OnMouseDblClick(2, 2, &left));
  graphics->OnMouseUp(2, 2, &left);

  ASSERT_EQ(plug.events.size(), 4u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
  EXPECT_EQ(plug.events[1].kind, Event::kEnd);
  EXPECT_EQ(plug.events[2].kind, Event::kValue);
  EXPECT_DOUBLE_EQ(plug.events[2].value, 0.25);
  EXPECT_EQ(plug.events[3].kind, Event::kEnd);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.25);
}

TEST_F(DispatchTest, DoubleClickAsPressCapturesAndPresses)
{
  RecordingControl* control = Add(IRect(0, 0, 20, 20));
  control->SetDoubleClickActsAsPress(true);
  Attach();
  IMouseKeys left = Left();
  EXPECT_TRUE(graphics->OnMouseDblClick(4, 4, &left));
  EXPECT_EQ(control->downs, 1);
  EXPECT_EQ(control->doubleClicks, 0);
  EXPECT_EQ(graphics->GetMouseCapture(), 0);
  EXPECT_FALSE(graphics->OnMouseDblClick(30, 30, &left));
}

TEST_F(DispatchTest, WheelGoesToTheCapturedControlFirst)
{
  RecordingControl* left = Add(IRect(0, 0, 10, 10));
  RecordingControl* right = Add(IRect(20, 0, 30, 10));
  Attach();
  IMouseKeys none;
  graphics->OnMouseWheel(25, 5, &none, -2);
  EXPECT_EQ(right->wheel, -2);
  IMouseKeys button = Left();
  graphics->OnMouseDown(5, 5, &button);
  graphics->OnMouseWheel(25, 5, &none, 3);
  EXPECT_EQ(left->wheel, 3);
  EXPECT_EQ(right->wheel, -2);
  graphics->OnMouseUp(5, 5, &button);
  graphics->OnMouseWheel(35, 35, &none, 1);
  EXPECT_EQ(left->wheel + right->wheel, 1);
}

TEST_F(DispatchTest, KeysSkipTheBackgroundUnlessCaught)
{
  RecordingControl* background = Add(IRect(0, 0, 40, 40));
  RecordingControl* button = Add(IRect(0, 0, 10, 10));
  Attach();
  EXPECT_TRUE(graphics->OnKeyDown(5, 5, 17));
  EXPECT_EQ(button->lastKey, 17);
  EXPECT_FALSE(graphics->OnKeyDown(20, 20, 18));
  EXPECT_EQ(background->lastKey, -1);
  RecordingControl catcher(&plug, IRect(0, 0, 1, 1));
  graphics->SetKeyCatcher(&catcher);
  EXPECT_TRUE(graphics->OnKeyDown(20, 20, 19));
  EXPECT_EQ(catcher.lastKey, 19);
  graphics->SetKeyCatcher(nullptr);
}

TEST_F(DispatchTest, MouseOverIsOffByDefault)
{
  Add(IRect(0, 0, 40, 40));
  Attach();
  IMouseKeys none;
  EXPECT_FALSE(graphics->OnMouseOver(5, 5, &none));
  EXPECT_EQ(graphics->GetMouseOver(), -1);
  graphics->HandleMouseOver(true);
  EXPECT_TRUE(graphics->OnMouseOver(5, 5, &none));
  EXPECT_EQ(graphics->GetMouseOver(), 0);
  graphics->OnMouseOut();
  EXPECT_EQ(graphics->GetMouseOver(), -1);
}

TEST_F(DispatchTest, MouseOverPassesAGreyedControlUnlessItTakesMouseOver)
{
  Add(IRect(0, 0, 40, 40));
  RecordingControl* top = Add(IRect(0, 0, 20, 20));
  Attach();
  graphics->HandleMouseOver(true);
  top->SetGrayed(true);
  IMouseKeys none;
  EXPECT_TRUE(graphics->OnMouseOver(5, 5, &none));
  EXPECT_EQ(graphics->GetMouseOver(), 0);
  top->SetMOWhenGrayed(true);
  EXPECT_TRUE(graphics->OnMouseOver(5, 5, &none));
  EXPECT_EQ(graphics->GetMouseOver(), 1);
  // A press still passes it by.
  IMouseKeys left = Left();
  graphics->OnMouseDown(5, 5, &left);
  EXPECT_EQ(top->downs, 0);
}

class Vst3DispatchTest : public DispatchTest
{
protected:
  Vst3DispatchTest() : DispatchTest(kApiVST3) {}
};

TEST_F(Vst3DispatchTest, RightClickOnABoundControlOnlyOpensTheHostMenu)
{
  RecordingControl* bound = Add(IRect(0, 0, 10, 10), 3);
  RecordingControl* unbound = Add(IRect(20, 0, 30, 10));
  Attach();
  plug.events.clear();
  IMouseKeys right = Right();
  graphics->OnMouseDown(4, 6, &right);
  EXPECT_EQ(bound->downs, 0);
  EXPECT_EQ(graphics->GetMouseCapture(), -1);
  ASSERT_EQ(plug.events.size(), 1u);
  EXPECT_EQ(plug.events[0].kind, Event::kHostMenu);
  EXPECT_EQ(plug.events[0].index, 3);
  EXPECT_EQ(plug.events[0].value, 4 * 10000 + 6);

  graphics->OnMouseDown(25, 5, &right);
  EXPECT_EQ(unbound->downs, 1);
  EXPECT_EQ(plug.events.size(), 1u);

  // The left button still reaches a bound control, inside a gesture.
  IMouseKeys left = Left();
  graphics->OnMouseDown(4, 6, &left);
  EXPECT_EQ(bound->downs, 1);
  EXPECT_EQ(plug.events.back().kind, Event::kBegin);
}

TEST_F(DispatchTest, RightClickInTheVst2BuildReachesTheControl)
{
  RecordingControl* bound = Add(IRect(0, 0, 10, 10), 3);
  Attach();
  plug.events.clear();
  IMouseKeys right = Right();
  graphics->OnMouseDown(4, 6, &right);
  EXPECT_EQ(bound->downs, 1);
  ASSERT_EQ(plug.events.size(), 1u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
}
