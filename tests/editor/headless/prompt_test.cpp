#include "headless/headless_fixture.h"

#include "menu.h"

#include <string>
#include <vector>

using Event = EditorTestPlug::Event;

namespace
{
// Keeps what the value prompts were shown with.
struct RecordingEditor : IGraphicsHeadless
{
  using IGraphicsHeadless::IGraphicsHeadless;

  IMenu* ShowPopupMenu(IMenu* menu, const IRect& rect) override
  {
    labels.clear();
    checked.clear();
    for (int i = 0; i < menu->NItems(); ++i)
    {
      labels.push_back(menu->ItemLabel(i));
      checked.push_back(menu->GetItem(i)->HasFlag(IMenuItem::kChecked));
    }
    return IGraphicsHeadless::ShowPopupMenu(menu, rect);
  }
  void CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                       const char* initial, IPlugParam* param) override
  {
    entryInitial = initial;
    entryRect = rect;
    entryParam = param;
    IGraphicsHeadless::CreateTextEntry(control, text, rect, initial, param);
  }

  std::vector<std::string> labels;
  std::vector<bool> checked;
  std::string entryInitial;
  IRect entryRect;
  IPlugParam* entryParam = nullptr;
};

IMouseKeys Right()
{
  return IMouseKeys(false, true, false, false, false);
}
} // namespace

class PromptTest : public ::testing::Test
{
protected:
  PromptTest() : editor(new RecordingEditor(&plug, 40, 40)) {}

  RecordingControl* AddPrompting(int paramIdx, const IRect& rect)
  {
    auto* control = new RecordingControl(&plug, rect, paramIdx);
    control->DisablePrompt(false);
    editor->AddControl(control);
    return control;
  }
  void RightClick(int x, int y)
  {
    IMouseKeys right = Right();
    editor->OnMouseDown(x, y, &right);
    editor->OnMouseUp(x, y, &right);
  }

  EditorTestPlug plug;
  RecordingEditor* editor;
};

TEST_F(PromptTest, PromptsAreDisabledByDefault)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 10, 10), EditorTestPlug::kEnumParam);
  editor->AddControl(control);
  plug.AttachEditor(editor);
  editor->QueueMenuChoice({0});
  RightClick(5, 5);
  EXPECT_EQ(editor->PromptCount(), 0);
  EXPECT_EQ(editor->PendingAnswers(), 1u);
}

TEST_F(PromptTest, ListParameterOffersItsTextsWithTheCurrentChecked)
{
  RecordingControl* control = AddPrompting(EditorTestPlug::kEnumParam, IRect(2, 4, 12, 14));
  plug.AttachEditor(editor);
  plug.events.clear();
  editor->QueueMenuChoice({2});
  RightClick(5, 5);
  EXPECT_EQ(editor->labels, (std::vector<std::string>{"Soft", "Medium", "Hard"}));
  EXPECT_EQ(editor->checked, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(editor->LastMenuRect(), control->GetRECT());
  EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kEnumParam)->Value(), 2.0);
  // The value reaches the plug inside the press's gesture.
  ASSERT_EQ(plug.events.size(), 3u);
  EXPECT_EQ(plug.events[0].kind, Event::kBegin);
  EXPECT_EQ(plug.events[1].kind, Event::kValue);
  EXPECT_EQ(plug.events[2].kind, Event::kEnd);
}

TEST_F(PromptTest, CancelledMenuChangesNothing)
{
  RecordingControl* control = AddPrompting(EditorTestPlug::kEnumParam, IRect(0, 0, 10, 10));
  plug.AttachEditor(editor);
  RightClick(5, 5);
  EXPECT_EQ(editor->PromptCount(), 1);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.5);
  EXPECT_TRUE(plug.EventsOf(Event::kValue).empty());
}

TEST_F(PromptTest, NumberEntryStartsFromTheDisplayedValue)
{
  RecordingControl* control = AddPrompting(EditorTestPlug::kIntParam, IRect(10, 10, 31, 21));
  plug.AttachEditor(editor);
  editor->QueueTextEntry(std::string("7"));
  RightClick(15, 15);
  // Value 3, shown negated, without decimals; a 40 x 16 box centred on the
  // control (centre 20.5, 15.5 cut to 20, 15).
  EXPECT_EQ(editor->entryInitial, "-3");
  EXPECT_EQ(editor->entryRect, IRect(0, 7, 40, 23));
  EXPECT_EQ(editor->entryParam, plug.GetParam(EditorTestPlug::kIntParam));
  EXPECT_TRUE(control->IsDirtyAgain());
  // The typed text counts at the next tick: "7" shown negated is -7.
  EXPECT_TRUE(plug.EventsOf(Event::kValue).empty());
  editor->Tick();
  EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kIntParam)->Value(), -7.0);
  EXPECT_DOUBLE_EQ(control->GetValue(), (-7.0 + 10.0) / 20.0);
}

TEST_F(PromptTest, ListEntryMatchesDisplayTexts)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 10, 10), EditorTestPlug::kEnumParam);
  editor->AddControl(control);
  plug.AttachEditor(editor);
  IPlugParam* param = plug.GetParam(EditorTestPlug::kEnumParam);
  editor->QueueTextEntry(std::string("Hard"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", param);
  editor->Tick();
  EXPECT_DOUBLE_EQ(param->Value(), 2.0);
  // No text matches: the first value.
  editor->QueueTextEntry(std::string("Loud"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", param);
  editor->Tick();
  EXPECT_DOUBLE_EQ(param->Value(), 0.0);
}

TEST_F(PromptTest, FreeTextEntryIsCutToTheEntryLength)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  editor->AddControl(control);
  plug.AttachEditor(editor);
  editor->QueueTextEntry(std::string("Deep Sub Kick"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  EXPECT_TRUE(editor->TextEntryPending());
  // A second entry while one is open is ignored.
  editor->QueueTextEntry(std::string("other"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  editor->Tick();
  EXPECT_EQ(control->enteredText, "Deep Su");
  EXPECT_FALSE(editor->TextEntryPending());
}

TEST_F(PromptTest, CancelledEntriesChangeNothing)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  editor->AddControl(control);
  plug.AttachEditor(editor);
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  EXPECT_FALSE(editor->TextEntryPending());
  editor->QueueTextEntry(std::nullopt);
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  EXPECT_FALSE(editor->TextEntryPending());
  editor->QueueTextEntry(std::string("typed"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  editor->CancelTextEntry();
  editor->Tick();
  EXPECT_EQ(control->enteredText, "");
}

TEST_F(PromptTest, ResizeForgetsTheEntryAndCatcherOfDeletedControls)
{
  auto* control = new RecordingControl(&plug, IRect(0, 0, 10, 10));
  editor->AddControl(control);
  plug.AttachEditor(editor);
  editor->SetKeyCatcher(control);
  editor->QueueTextEntry(std::string("typed"));
  editor->CreateTextEntry(control, *control->GetText(), control->GetRECT(), "", nullptr);
  ASSERT_TRUE(editor->TextEntryPending());
  editor->Resize(50, 50);
  EXPECT_FALSE(editor->TextEntryPending());
  EXPECT_EQ(editor->GetKeyCatcher(), nullptr);
  EXPECT_FALSE(editor->OnKeyDown(5, 5, 17));
  EXPECT_TRUE(editor->Tick().Empty());

  // A catcher that is not one of the controls stays.
  RecordingControl outside(&plug, IRect(0, 0, 1, 1));
  editor->SetKeyCatcher(&outside);
  editor->Resize(60, 60);
  EXPECT_EQ(editor->GetKeyCatcher(), &outside);
  EXPECT_TRUE(editor->OnKeyDown(5, 5, 17));
  EXPECT_EQ(outside.lastKey, 17);
  editor->SetKeyCatcher(nullptr);
}

TEST_F(PromptTest, MenuChoicesFollowPathsIntoSubmenus)
{
  plug.AttachEditor(editor);
  IMenu root, factory;
  root.AddItem("User");
  root.AddItem("Factory", &factory);
  root.AddItem("Greyed")->SetFlags(IMenuItem::kGrayed);
  factory.AddItem("Deep");
  factory.AddItem("Punchy");
  editor->QueueMenuChoice({1, 1});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), &factory);
  EXPECT_EQ(factory.ChosenItemIdx(), 1);
  editor->QueueMenuChoice({0});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), &root);
  EXPECT_EQ(root.ChosenItemIdx(), 0);
  // Only the menu chosen from says so; the others say nothing was chosen.
  EXPECT_EQ(factory.ChosenItemIdx(), -1);
  // Items that cannot be chosen answer as cancelled.
  editor->QueueMenuChoice({2});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), nullptr);
  EXPECT_EQ(root.ChosenItemIdx(), -1);
  editor->QueueMenuChoice({1});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), nullptr);
  editor->QueueMenuChoice({0, 0});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), nullptr);
  editor->QueueMenuChoice({7});
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), nullptr);
  EXPECT_EQ(editor->ShowPopupMenu(&root, IRect()), nullptr);
}

TEST_F(PromptTest, OtherPromptsAnswerFromTheirQueues)
{
  plug.AttachEditor(editor);
  IRgba colour(255, 1, 2, 3);
  EXPECT_FALSE(editor->AskForColor(colour, "Pick"));
  editor->QueueColorChoice(IRgba(10, 20, 30, 40));
  EXPECT_TRUE(editor->AskForColor(colour, "Pick"));
  EXPECT_EQ(colour, IRgba(255, 20, 30, 40));
  EXPECT_EQ(editor->ShowMessageDialog("Sure?", "Thudwerk", 4), IGraphicsHeadless::kAnswerCancel);
  editor->QueueMessageAnswer(6);
  EXPECT_EQ(editor->ShowMessageDialog("Sure?", "Thudwerk", 4), 6);
  EXPECT_EQ(editor->LastMessage(), "Thudwerk: Sure?");
  // Declining the confirmation opens nothing.
  EXPECT_FALSE(editor->OpenUrl("https://example.invalid", "Thudwerk", "Open?", nullptr));
  std::string text = "stale";
  EXPECT_FALSE(editor->ClipboardText(text));
  EXPECT_EQ(text, "");
  EXPECT_EQ(editor->WindowHandle(), nullptr);
  EXPECT_FALSE(editor->WindowIsOpen());
  EXPECT_EQ(editor->OpenEditorWindow(nullptr), nullptr);
}
