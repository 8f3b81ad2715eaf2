#include "headless/graphics_headless.h"

#include "control.h"
#include "file_dialog_filter.h"
#include "popup_menu_numbering.h"
#include "resource_bitmap.h"

#include "lice_bitmap.h"
#include "lice_png.h"
#include "plug_base.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plug, int width, int height, int fps)
    : IGraphics(plug, width, height, fps)
{
}

IGraphicsHeadless::~IGraphicsHeadless() = default;

template <typename Answer>
std::optional<Answer> IGraphicsHeadless::TakeAnswer(std::deque<Answer>& answers)
{
  if (answers.empty()) return std::nullopt;
  std::optional<Answer> answer(std::move(answers.front()));
  answers.pop_front();
  return answer;
}

IRect IGraphicsHeadless::Tick()
{
  // The tick runs on the user-interface thread without the instance lock:
  // where the host hears of the plug-in's own changes.
  if (mPlug) mPlug->SendPendingHostNotifications();
  if (mEntryControl)
  {
    IControl* control = mEntryControl;
    IPlugParam* param = mEntryParam;
    mEntryControl = nullptr;
    mEntryParam = nullptr;
    CommitTextEntry(control, param, mEntryText.c_str());
    return IRect();
  }
  IRect dirty;
  if (!IsDirty(dirty)) return IRect();
  Draw(dirty);
  return dirty;
}

bool IGraphicsHeadless::WriteDrawBitmapPng(const char* path)
{
  return mDrawBitmap && path && SavePng(mDrawBitmap.get(), path);
}

bool IGraphicsHeadless::DrawScreen(const IRect& rect)
{
  mLastScreenRect = rect;
  ++mScreenCopies;
  return true;
}

void IGraphicsHeadless::CancelTextEntry()
{
  mEntryControl = nullptr;
  mEntryParam = nullptr;
}

void IGraphicsHeadless::Resize(int width, int height)
{
  CancelTextEntry();
  IGraphics::Resize(width, height);
}

int IGraphicsHeadless::ShowMessageDialog(const char* text, const char* caption, int)
{
  ++mPromptCount;
  mLastMessage = std::string(caption ? caption : "") + ": " + (text ? text : "");
  return TakeAnswer(mMessageAnswers).value_or(kAnswerCancel);
}

IMenu* IGraphicsHeadless::ShowPopupMenu(IMenu* menu, const IRect& rect)
{
  // As with a native menu, the button release goes to the menu.
  ClearMouseCapture();
  ++mPromptCount;
  mLastMenuRect = rect;
  const std::optional<std::vector<int>> path = TakeAnswer(mMenuAnswers);
  if (!menu) return nullptr;
  PopupMenuNumbering(*menu).ClearChosenItems();
  if (!path || path->empty()) return nullptr;

  IMenu* current = menu;
  for (size_t level = 0; level < path->size(); ++level)
  {
    const int position = (*path)[level];
    const IMenuItem* item = current->GetItem(position);
    if (!item || item->HasFlag(IMenuItem::kSeparator)) return nullptr;
    const bool last = level + 1 == path->size();
    if (!last)
    {
      if (!item->Submenu()) return nullptr;
      current = item->Submenu();
      continue;
    }
    if (item->Submenu() || item->HasFlag(IMenuItem::kGrayed | IMenuItem::kDisabled)) return nullptr;
    current->SetChosenItemIdx(position);
  }
  return current;
}

void IGraphicsHeadless::CreateTextEntry(IControl* control, const ITextStyle&, const IRect&,
                                        const char*, IPlugParam* param)
{
  if (!control || mEntryControl) return;
  ++mPromptCount;
  const std::optional<std::optional<std::string>> answer = TakeAnswer(mTextAnswers);
  if (!answer || !*answer) return;
  // Typing is limited to the control's entry length, as in a real box.
  std::string typed = **answer;
  const int limit = control->GetTextEntryLength();
  if (limit >= 0 && typed.size() > size_t(limit)) typed.resize(size_t(limit));
  mEntryControl = control;
  mEntryParam = param;
  mEntryText = typed;
}

void IGraphicsHeadless::AskForFile(std::string& file, int action, std::string& folder,
                                   const char* extensions)
{
  ++mPromptCount;
  mLastFileAction = action;
  mLastFileExtensions = extensions ? extensions : "";
  if (folder.empty()) DesktopFolder(folder);
  const std::optional<std::string> answer = TakeAnswer(mFileAnswers);
  if (!answer || answer->empty())
  {
    file.clear();
    return;
  }
  FolderOfPath(*answer, folder);
  file = *answer;
}

bool IGraphicsHeadless::AskForColor(IRgba& color, const char*)
{
  ++mPromptCount;
  const std::optional<std::optional<IRgba>> answer = TakeAnswer(mColorAnswers);
  if (!answer || !*answer) return false;
  color.R = (*answer)->R;
  color.G = (*answer)->G;
  color.B = (*answer)->B;
  return true;
}

bool IGraphicsHeadless::OpenUrl(const char*, const char* caption, const char* confirmation,
                                const char* error)
{
  // MB_YESNO and IDYES of the window system.
  constexpr int kYesNo = 4;
  constexpr int kAnswerYes = 6;
  if (confirmation && ShowMessageDialog(confirmation, caption, kYesNo) != kAnswerYes) return false;
  if (error) ShowMessageDialog(error, caption, 0);
  return false;
}

void* IGraphicsHeadless::OpenEditorWindow(void*)
{
  SetAllControlsDirty();
  return nullptr;
}

bool IGraphicsHeadless::ClipboardText(std::string& text)
{
  text.clear();
  return false;
}

LICE_IBitmap* IGraphicsHeadless::LoadResourceBitmap(int id, const char* fileName)
{
  return LoadPngResourceBitmap(mModuleInstance, id, fileName);
}
