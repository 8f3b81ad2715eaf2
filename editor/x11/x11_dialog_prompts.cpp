// The dialogs of the Linux editor: message boxes, the colour prompt, the
// link opener and the file prompt, which prefers the desktop's dialog program
// and falls back on a dialog the editor draws itself.
#include "x11/graphics_x11.h"

#include "drawn/drawn_widgets.h"
#include "drawn/text_field.h"
#include "file_dialog_filter.h"
#include "file_dialog_programs.h"
#include "x11/x11_field_keys.h"
#include "x11/x11_prompt_window.h"

#include "lice_bitmap.h"
#include "lice_font.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <system_error>

extern char** environ;

namespace
{
// A small dialog: a caption, lines of text, optionally a list and a text
// field, and a row of buttons. Enter presses the first button, Escape the
// cancelling one.
class DialogClient : public IGraphicsX11::ModalClient
{
public:
  struct Button
  {
    std::string label;
    int answer;
  };

  DialogClient(IGraphicsX11& graphics, std::string caption, std::vector<std::string> lines,
               std::vector<Button> buttons, int escapeAnswer)
      : mGraphics(graphics), mFont(graphics.PromptFont()), mScale(graphics.PromptScale()),
        mCaption(std::move(caption)), mLines(std::move(lines)), mButtons(std::move(buttons)),
        mEscapeAnswer(escapeAnswer)
  {
  }

  void WithField(const std::string& text) { mField = std::make_unique<TextField>(text); }
  void WithList(std::vector<std::string> entries)
  {
    mList = std::move(entries);
    mHasList = true;
    mSelected = -1;
    mFirstShown = 0;
  }
  // Called when a list entry is double-clicked or Enter is pressed on it;
  // answers whether the dialog is done.
  std::function<bool(int entry)> onListActivate;
  // Called when a button is pressed; answers whether the dialog is done.
  std::function<bool(int answer)> onButton;

  void Show()
  {
    LayOut();
    mWindow = std::make_unique<PromptWindow>(mGraphics.GetDisplay(), mRect);
    mGrab = std::make_unique<InputGrab>(mGraphics.GetDisplay(), mWindow->Id());
    Paint();
  }

  int Answer() const { return mAnswer; }
  TextField* Field() { return mField.get(); }
  std::vector<std::string>& List() { return mList; }
  int Selected() const { return mSelected; }
  void SetLines(std::vector<std::string> lines)
  {
    mLines = std::move(lines);
    Paint();
  }
  void ListChanged()
  {
    mSelected = -1;
    mFirstShown = 0;
    Paint();
  }

  bool Owns(Window window) const override { return mWindow && mWindow->Id() == window; }
  bool Done() const override { return mDone; }
  void Abort() override { Finish(mEscapeAnswer); }

  void HandleEvent(const XEvent& event) override
  {
    switch (event.type)
    {
    case Expose:
      mWindow->Present();
      return;
    case ButtonPress:
      Press(event.xbutton);
      break;
    case KeyPress:
    {
      XKeyEvent key = event.xkey;
      KeyPressed(key);
      break;
    }
    default:
      return;
    }
    if (!mDone) Paint();
  }

private:
  int Unit(int pixels) const { return pixels * mScale; }

  void LayOut()
  {
    const int margin = Unit(10);
    const int row = Unit(22);
    int width = Unit(360);
    for (const std::string& line : mLines)
      width = std::max(width, DrawnWidgets::TextWidth(mFont, line) + 2 * margin);
    int y = row + margin / 2;
    y += int(mLines.size()) * row;
    if (mHasList)
    {
      mListRect = IRect(margin, y, width - margin, y + kListRows * row);
      y = mListRect.B + margin / 2;
    }
    if (mField)
    {
      mFieldRect = IRect(margin, y, width - margin, y + row);
      y = mFieldRect.B + margin / 2;
    }
    const int buttonWidth = Unit(80);
    int x = width - margin;
    mButtonRects.assign(mButtons.size(), IRect());
    for (size_t i = mButtons.size(); i-- > 0;)
    {
      mButtonRects[i] = IRect(x - buttonWidth, y + margin / 2, x, y + margin / 2 + row);
      x -= buttonWidth + margin / 2;
    }
    const int height = y + row + margin;
    int originX = 0;
    int originY = 0;
    mGraphics.EditorScreenOrigin(originX, originY);
    originX += (mGraphics.Width() - width) / 2;
    originY += (mGraphics.Height() - height) / 2;
    int screenWidth = 0;
    int screenHeight = 0;
    mGraphics.ScreenSize(screenWidth, screenHeight);
    originX = std::clamp(originX, 0, std::max(0, screenWidth - width));
    originY = std::clamp(originY, 0, std::max(0, screenHeight - height));
    mRect = IRect(originX, originY, originX + width, originY + height);
  }

  void Paint()
  {
    if (!mWindow) return;
    using namespace DrawnWidgets;
    LICE_SysBitmap& bitmap = mWindow->Bitmap();
    const int margin = Unit(10);
    const int row = Unit(22);
    const IRect all(0, 0, mRect.W(), mRect.H());
    Fill(bitmap, all, kFace);
    Frame(bitmap, all, kEdge);
    Fill(bitmap, IRect(1, 1, all.R - 1, row), kHighlight);
    Text(bitmap, mFont, mCaption, IRect(margin, 1, all.R - margin, row), kHighlightText);
    int y = row + margin / 2;
    for (const std::string& line : mLines)
    {
      Text(bitmap, mFont, line, IRect(margin, y, all.R - margin, y + row), kText);
      y += row;
    }
    if (mHasList)
    {
      Fill(bitmap, mListRect, kFieldFace);
      Frame(bitmap, mListRect, kEdge);
      for (int i = 0; i < kListRows && mFirstShown + i < int(mList.size()); ++i)
      {
        const int entry = mFirstShown + i;
        const IRect line(mListRect.L + 1, mListRect.T + i * row, mListRect.R - 1,
                         mListRect.T + (i + 1) * row);
        if (entry == mSelected) Fill(bitmap, line, kHighlight);
        Text(bitmap, mFont, mList[size_t(entry)], IRect(line.L + 4, line.T, line.R, line.B),
             entry == mSelected ? kHighlightText : kText);
      }
    }
    if (mField) DrawnWidgets::Field(bitmap, mFont, *mField, mFieldRect, kFieldFace, kText, 0);
    for (size_t i = 0; i < mButtons.size(); ++i)
      DrawnWidgets::Button(bitmap, mFont, mButtons[i].label, mButtonRects[i], i == 0);
    mWindow->Present();
  }

  void Finish(int answer)
  {
    mAnswer = answer;
    mDone = true;
  }

  void PressButton(size_t index)
  {
    const int answer = mButtons[index].answer;
    if (!onButton || onButton(answer)) Finish(answer);
  }

  void Select(int entry)
  {
    if (mList.empty()) return;
    mSelected = std::clamp(entry, 0, int(mList.size()) - 1);
    if (mSelected < mFirstShown) mFirstShown = mSelected;
    if (mSelected >= mFirstShown + kListRows) mFirstShown = mSelected - kListRows + 1;
  }

  void Activate(int entry)
  {
    if (onListActivate && onListActivate(entry)) Finish(mButtons.front().answer);
  }

  void Press(const XButtonEvent& event)
  {
    const int x = event.x_root - mRect.L;
    const int y = event.y_root - mRect.T;
    if (!IRect(0, 0, mRect.W(), mRect.H()).Contains(x, y)) return;
    for (size_t i = 0; i < mButtonRects.size(); ++i)
    {
      if (!mButtonRects[i].Contains(x, y)) continue;
      PressButton(i);
      return;
    }
    if (mHasList && mListRect.Contains(x, y))
    {
      if (event.button == Button4 || event.button == Button5)
      {
        const int maximum = std::max(0, int(mList.size()) - kListRows);
        mFirstShown = std::clamp(mFirstShown + (event.button == Button4 ? -1 : 1), 0, maximum);
        return;
      }
      const int entry = mFirstShown + (y - mListRect.T) / Unit(22);
      if (entry >= int(mList.size())) return;
      const bool again = entry == mSelected && event.time - mLastClick <= 400;
      mLastClick = event.time;
      Select(entry);
      if (again)
        Activate(entry);
      else if (onListActivate && mField)
        mField->SetText(mList[size_t(entry)]);
    }
  }

  void KeyPressed(XKeyEvent& key)
  {
    const KeySym keysym = XLookupKeysym(&key, 0);
    if (mHasList && (keysym == XK_Up || keysym == XK_Down))
    {
      Select(mSelected + (keysym == XK_Up ? -1 : 1));
      if (mField && mSelected >= 0) mField->SetText(mList[size_t(mSelected)]);
      return;
    }
    FieldKey result = FieldKey::kUnhandled;
    if (mField)
      result = ApplyKeyToField(*mField, key, nullptr);
    else if (keysym == XK_Return || keysym == XK_KP_Enter)
      result = FieldKey::kEnter;
    else if (keysym == XK_Escape)
      result = FieldKey::kEscape;
    if (result == FieldKey::kEscape && mEscapeAnswer >= 0) Finish(mEscapeAnswer);
    if (result == FieldKey::kEnter) PressButton(0);
  }

  static constexpr int kListRows = 8;

  IGraphicsX11& mGraphics;
  LICE_CachedFont* mFont;
  int mScale;
  std::string mCaption;
  std::vector<std::string> mLines;
  std::vector<Button> mButtons;
  int mEscapeAnswer;
  std::unique_ptr<TextField> mField;
  std::vector<std::string> mList;
  bool mHasList = false;
  int mSelected = -1;
  int mFirstShown = 0;
  Time mLastClick = 0;
  IRect mRect;
  IRect mListRect;
  IRect mFieldRect;
  std::vector<IRect> mButtonRects;
  std::unique_ptr<PromptWindow> mWindow;
  std::unique_ptr<InputGrab> mGrab;
  int mAnswer = -1;
  bool mDone = false;
};

// A desktop dialog program: its standard output is the chosen path.
class ProgramClient : public IGraphicsX11::ModalClient
{
public:
  explicit ProgramClient(const std::vector<std::string>& command)
  {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : command)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (posix_spawnp(&mPid, argv[0], &actions, nullptr, argv.data(), environ) != 0) mPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (mPid > 0)
      mFd = pipeFds[0];
    else
      close(pipeFds[0]);
  }
  ~ProgramClient() override
  {
    if (mFd >= 0) close(mFd);
    Reap(true);
  }

  bool Started() const { return mPid > 0; }
  bool Owns(Window) const override { return false; }
  void HandleEvent(const XEvent&) override {}
  bool Done() const override { return mFd < 0; }
  void Abort() override
  {
    Reap(true);
    if (mFd >= 0) close(mFd);
    mFd = -1;
  }
  int ExtraFd() const override { return mFd; }
  void OnExtraFdReady() override
  {
    char buffer[512];
    const ssize_t count = read(mFd, buffer, sizeof(buffer));
    if (count > 0)
    {
      mOutput.append(buffer, size_t(count));
      return;
    }
    close(mFd);
    mFd = -1;
    Reap(false);
  }
  // The chosen path; empty when cancelled or failed.
  std::string Chosen() const
  {
    if (mStatus != 0) return std::string();
    const size_t end = mOutput.find('\n');
    return mOutput.substr(0, end);
  }

private:
  void Reap(bool kill)
  {
    if (mPid <= 0) return;
    if (kill) ::kill(mPid, SIGTERM);
    int status = 0;
    if (waitpid(mPid, &status, 0) == mPid) mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    mPid = -1;
  }

  pid_t mPid = -1;
  int mFd = -1;
  int mStatus = -1;
  std::string mOutput;
};

bool ProgramOnPath(const std::string& program)
{
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':'))
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

std::vector<std::string> SplitLines(const char* text)
{
  std::vector<std::string> lines;
  std::istringstream stream(text ? text : "");
  std::string line;
  while (std::getline(stream, line))
    lines.push_back(line);
  return lines;
}

bool HasExtension(const std::string& name, const char* extensions)
{
  std::istringstream list(extensions ? extensions : "");
  std::string extension;
  bool any = false;
  while (list >> extension)
  {
    any = true;
    const std::string suffix = "." + extension;
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return true;
  }
  return !any;
}

// Folders first (ending in '/', with ".." to go up), then matching files,
// each group sorted.
std::vector<std::string> FolderEntries(const std::string& folder, const char* extensions)
{
  std::vector<std::string> folders{"../"};
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
  {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kindError;
    if (entry.is_directory(kindError))
      folders.push_back(name + "/");
    else if (HasExtension(name, extensions))
      files.push_back(name);
  }
  std::sort(folders.begin() + 1, folders.end());
  std::sort(files.begin(), files.end());
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

std::string WithSlash(std::string folder)
{
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}
} // namespace

int IGraphicsX11::ShowMessageDialog(const char* text, const char* caption, int type)
{
  if (!mWindow) return kAnswerCancel;
  // The button sets of the window system's message box types.
  std::vector<DialogClient::Button> buttons;
  int escape = -1;
  switch (type & 0xF)
  {
  case 1: // OK, Cancel
  case 5: // Retry, Cancel
    buttons = {{"OK", kAnswerOk}, {"Cancel", kAnswerCancel}};
    escape = kAnswerCancel;
    break;
  case 3: // Yes, No, Cancel
    buttons = {{"Yes", kAnswerYes}, {"No", kAnswerNo}, {"Cancel", kAnswerCancel}};
    escape = kAnswerCancel;
    break;
  case 4: // Yes, No
    buttons = {{"Yes", kAnswerYes}, {"No", kAnswerNo}};
    break;
  default:
    buttons = {{"OK", kAnswerOk}};
    escape = kAnswerOk;
    break;
  }
  DialogClient dialog(*this, caption ? caption : "", SplitLines(text), buttons, escape);
  dialog.Show();
  RunModal(dialog);
  return dialog.Answer() < 0 ? kAnswerCancel : dialog.Answer();
}

bool IGraphicsX11::AskForColor(IRgba& color, const char* prompt)
{
  if (!mWindow) return false;
  char hex[8];
  std::snprintf(hex, sizeof(hex), "#%02X%02X%02X", unsigned(color.R & 0xFF),
                unsigned(color.G & 0xFF), unsigned(color.B & 0xFF));
  std::vector<std::string> lines = SplitLines(prompt);
  lines.push_back("Red, green and blue as #RRGGBB:");
  DialogClient dialog(*this, "Colour", lines, {{"OK", kAnswerOk}, {"Cancel", kAnswerCancel}},
                      kAnswerCancel);
  dialog.WithField(hex);
  unsigned red = 0;
  unsigned green = 0;
  unsigned blue = 0;
  dialog.onButton = [&](int answer)
  {
    if (answer != kAnswerOk) return true;
    const std::string& typed = dialog.Field()->Text();
    char rest = 0;
    // Only a well-formed colour closes the prompt with OK.
    return std::sscanf(typed.c_str(), "#%2x%2x%2x%c", &red, &green, &blue, &rest) == 3 &&
           typed.size() == 7;
  };
  dialog.Show();
  if (!RunModal(dialog) || dialog.Answer() != kAnswerOk) return false;
  color.R = int(red);
  color.G = int(green);
  color.B = int(blue);
  return true;
}

bool IGraphicsX11::OpenUrl(const char* url, const char* caption, const char* confirmation,
                           const char* error)
{
  if (confirmation && ShowMessageDialog(confirmation, caption, 4) != kAnswerYes) return false;
  if (url && mWindow)
  {
    ProgramClient opener({"xdg-open", url});
    if (opener.Started() && RunModal(opener)) return true;
  }
  if (error) ShowMessageDialog(error, caption, 0);
  return false;
}

void IGraphicsX11::AskForFile(std::string& file, int action, std::string& folder,
                              const char* extensions)
{
  if (!mWindow)
  {
    file.clear();
    return;
  }
  if (folder.empty()) DesktopFolder(folder);

  for (const std::string& program : FileDialogPrograms(std::getenv("THUDWERK_FILE_DIALOG")))
  {
    if (!ProgramOnPath(program)) continue;
    ProgramClient dialog(FileDialogCommand(program, action, folder, file, extensions));
    if (!dialog.Started()) continue;
    const bool finished = RunModal(dialog);
    const std::string chosen = finished ? dialog.Chosen() : std::string();
    file = chosen;
    if (!chosen.empty()) FolderOfPath(chosen, folder);
    return;
  }

  // No desktop dialog: the editor's own, listing the folder.
  std::string current = WithSlash(folder);
  const FileDialogFilter filter = BuildFileDialogFilter(extensions);
  DialogClient dialog(
      *this, action == kFileSave ? "Save" : "Open", {current},
      {{action == kFileSave ? "Save" : "Open", kAnswerOk}, {"Cancel", kAnswerCancel}},
      kAnswerCancel);
  dialog.WithList(FolderEntries(current, extensions));
  dialog.WithField(file.substr(file.rfind('/') == std::string::npos ? 0 : file.rfind('/') + 1));
  std::string chosen;
  const auto enterFolder = [&](const std::string& entry)
  {
    std::error_code error;
    const std::filesystem::path next = std::filesystem::path(current) / entry;
    current = WithSlash(std::filesystem::weakly_canonical(next, error).string());
    dialog.List() = FolderEntries(current, extensions);
    dialog.ListChanged();
    dialog.SetLines({current});
  };
  const auto accept = [&](std::string name)
  {
    if (name.empty()) return false;
    if (name.back() == '/')
    {
      enterFolder(name);
      return false;
    }
    std::string path = name[0] == '/' ? name : current + name;
    if (action == kFileSave && filter.defaultExtension[0] &&
        path.find('.', path.rfind('/')) == std::string::npos)
      path += std::string(".") + filter.defaultExtension;
    std::error_code error;
    // An open prompt takes only files that exist.
    if (action != kFileSave && !std::filesystem::is_regular_file(path, error)) return false;
    chosen = path;
    return true;
  };
  dialog.onListActivate = [&](int entry) { return accept(dialog.List()[size_t(entry)]); };
  dialog.onButton = [&](int answer)
  {
    if (answer != kAnswerOk) return true;
    return accept(dialog.Field()->Text());
  };
  dialog.Show();
  if (!RunModal(dialog) || dialog.Answer() != kAnswerOk || chosen.empty())
  {
    file.clear();
    return;
  }
  FolderOfPath(chosen, folder);
  file = chosen;
}
