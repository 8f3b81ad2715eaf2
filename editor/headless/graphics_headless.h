#pragma once

#include "graphics.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// The editor without a window: for the Linux builds and for tests on every
// platform. It draws into its draw bitmap when Tick is called (what the
// window's timer does elsewhere). Its prompts take their answers from queues
// the caller fills beforehand; a prompt meeting an empty queue answers as
// cancelled.
//
// Threads: the user-interface thread (the one calling Tick), like IGraphics.
class IGraphicsHeadless : public IGraphics
{
public:
  // Message dialog answers, as the window system numbers them.
  static constexpr int kAnswerOk = 1;
  static constexpr int kAnswerCancel = 2;

  IGraphicsHeadless(IPlugBase* plug, int width = kDefaultWidth, int height = kDefaultHeight,
                    int fps = kDefaultFPS);
  ~IGraphicsHeadless() override;

  // The module whose embedded PNG resources LoadResourceBitmap reads.
  void SetModuleInstance(void* instance) { mModuleInstance = instance; }

  // One redraw tick: sends the plug-in's pending host notifications,
  // finishes a pending text entry, then redraws the dirty area. Returns the area redrawn (empty
  // when nothing was dirty).
  IRect Tick();

  // Writes the draw bitmap as a PNG file; false on failure.
  bool WriteDrawBitmapPng(const char* path);

  // Answers for the next prompts, in order.
  // A menu choice is the path of item positions from the shown menu down,
  // e.g. {1, 0}: the first item of the submenu under the second item. An
  // empty path cancels; so does a path to a separator, a greyed or disabled
  // item, or an item that opens a submenu.
  void QueueMenuChoice(std::vector<int> path) { mMenuAnswers.push_back(std::move(path)); }
  // A full path; an empty string cancels.
  void QueueFileChoice(std::string path) { mFileAnswers.push_back(std::move(path)); }
  // Typed text, committed at the next tick; nullopt cancels.
  void QueueTextEntry(std::optional<std::string> text) { mTextAnswers.push_back(std::move(text)); }
  void QueueMessageAnswer(int answer) { mMessageAnswers.push_back(answer); }
  // nullopt cancels.
  void QueueColorChoice(std::optional<IRgba> color) { mColorAnswers.push_back(color); }
  size_t PendingAnswers() const
  {
    return mMenuAnswers.size() + mFileAnswers.size() + mTextAnswers.size() +
           mMessageAnswers.size() + mColorAnswers.size();
  }

  // What the prompts were shown with, for callers that check them.
  int PromptCount() const { return mPromptCount; }
  const IRect& LastMenuRect() const { return mLastMenuRect; }
  const std::string& LastMessage() const { return mLastMessage; }
  int LastFileAction() const { return mLastFileAction; }
  const std::string& LastFileExtensions() const { return mLastFileExtensions; }
  bool TextEntryPending() const { return mEntryControl != nullptr; }
  // The area copied to the "screen" by the last Draw.
  const IRect& LastScreenRect() const { return mLastScreenRect; }
  int ScreenCopies() const { return mScreenCopies; }

  bool DrawScreen(const IRect& rect) override;
  void CancelTextEntry() override;
  // A pending text entry is dropped: its control goes with the others.
  void Resize(int width, int height) override;
  const char* DrawingApiName() override { return "Headless"; }
  int ShowMessageDialog(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu* menu, const IRect& rect) override;
  void CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                       const char* initial, IPlugParam* param) override;
  void AskForFile(std::string& file, int action, std::string& folder,
                  const char* extensions) override;
  bool AskForColor(IRgba& color, const char* prompt) override;
  // There is no browser to open: answers false (after the confirmation,
  // which is a message dialog).
  bool OpenUrl(const char* url, const char* caption, const char* confirmation,
               const char* error) override;
  // No window: marks every control dirty, as opening one would, and
  // answers null.
  void* OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override {}
  void* WindowHandle() override { return nullptr; }
  // There is no clipboard: empty and false.
  bool ClipboardText(std::string& text) override;
  LICE_IBitmap* LoadResourceBitmap(int id, const char* fileName) override;

private:
  template <typename Answer>
  static std::optional<Answer> TakeAnswer(std::deque<Answer>& answers);

  void* mModuleInstance = nullptr;
  std::deque<std::vector<int>> mMenuAnswers;
  std::deque<std::string> mFileAnswers;
  std::deque<std::optional<std::string>> mTextAnswers;
  std::deque<int> mMessageAnswers;
  std::deque<std::optional<IRgba>> mColorAnswers;

  IControl* mEntryControl = nullptr;
  IPlugParam* mEntryParam = nullptr;
  std::string mEntryText;

  int mPromptCount = 0;
  IRect mLastMenuRect;
  std::string mLastMessage;
  int mLastFileAction = -1;
  std::string mLastFileExtensions;
  IRect mLastScreenRect;
  int mScreenCopies = 0;
};
