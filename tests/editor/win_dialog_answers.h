#pragma once

// Answers the system's modal dialogs from inside their own message loops,
// for tests of the real Win32 prompts: a thread timer finds the dialog
// waiting for input, types into it or reads it, and presses a button.

#include "wide_text_win.h"

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

// Dispatches this thread's messages for a while, so that timers fire.
inline void Pump(DWORD milliseconds)
{
  const DWORD start = GetTickCount();
  do
  {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

// What to do with one dialog: type a file name (UTF-8) into a file dialog,
// then press a button; a message box's text is kept for AnsweredMessages.
struct DialogAnswer
{
  std::string fileName;
  int button = IDOK;
};

namespace dialog_answers
{
inline std::vector<DialogAnswer> sAnswers;
inline std::vector<std::string> sMessages;
inline HWND sLastDialog = nullptr;
inline int sWaits = 0;
// Ticks of 50 ms to wait for each dialog before giving up.
constexpr int kMaxWaits = 60;

inline BOOL CALLBACK FindWaitingDialog(HWND window, LPARAM found)
{
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  // A dialog under a modal box of its own is disabled: the box is waiting.
  if (std::wstring(className) != L"#32770" || !IsWindowEnabled(window) || window == sLastDialog)
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

inline void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindWaitingDialog, LPARAM(&dialog));
  if (!dialog)
  {
    if (++sWaits >= kMaxWaits) KillTimer(nullptr, timer);
    return;
  }
  const DialogAnswer answer = sAnswers.front();
  sAnswers.erase(sAnswers.begin());
  sLastDialog = dialog;
  sWaits = 0;
  if (sAnswers.empty()) KillTimer(nullptr, timer);
  if (!answer.fileName.empty())
  {
    // The file name box of the dialog (cmb13 or, in older layouts, edt1).
    const std::wstring name = WideFromUtf8(answer.fileName);
    SendMessageW(dialog, CDM_SETCONTROLTEXT, 0x47c, LPARAM(name.c_str()));
    SendMessageW(dialog, CDM_SETCONTROLTEXT, 0x480, LPARAM(name.c_str()));
  }
  // A message box's text is its static control 0xFFFF.
  wchar_t text[1024] = {};
  if (GetDlgItemTextW(dialog, 0xFFFF, text, int(sizeof(text) / sizeof(text[0]))) > 0)
    sMessages.push_back(Utf8FromWide(text));
  PostMessageW(dialog, WM_COMMAND, WPARAM(answer.button), 0);
}
} // namespace dialog_answers

// The next dialogs, in order, get these answers.
inline void AnswerNextDialogs(std::vector<DialogAnswer> answers)
{
  dialog_answers::sAnswers = std::move(answers);
  dialog_answers::sMessages.clear();
  dialog_answers::sLastDialog = nullptr;
  dialog_answers::sWaits = 0;
  SetTimer(nullptr, 0, 50, dialog_answers::AnswerDialog);
}

// The next file dialog gets this name typed and OK pressed; an empty name
// cancels it.
inline void AnswerNextFileDialog(const std::string& fileName)
{
  AnswerNextDialogs({{fileName, fileName.empty() ? IDCANCEL : IDOK}});
}

// The texts of the message boxes answered since AnswerNextDialogs.
inline const std::vector<std::string>& AnsweredMessages()
{
  return dialog_answers::sMessages;
}
