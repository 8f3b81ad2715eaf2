#pragma once

// Answers the system's file dialog from inside its own message loop, for
// tests of the real Win32 prompts.

#include "wide_text_win.h"

#include <windows.h>

#include <commdlg.h>

#include <string>

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

inline std::wstring sDialogFileName;
inline int sDialogAttempts = 0;

// What a timer firing inside the dialog's modal loop does to it: type the
// name (when one is given) and press OK, or cancel.
inline void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
  HWND dialog = FindWindowW(L"#32770", nullptr);
  if (!dialog && ++sDialogAttempts < 50) return;
  KillTimer(nullptr, timer);
  if (!dialog) return;
  // The file name box of the dialog (cmb13 or, in older layouts, edt1).
  SendMessageW(dialog, CDM_SETCONTROLTEXT, 0x47c, LPARAM(sDialogFileName.c_str()));
  SendMessageW(dialog, CDM_SETCONTROLTEXT, 0x480, LPARAM(sDialogFileName.c_str()));
  PostMessageW(dialog, WM_COMMAND, sDialogFileName.empty() ? IDCANCEL : IDOK, 0);
}

// The next file dialog gets this name (UTF-8) typed and OK pressed; an
// empty name cancels it.
inline void AnswerNextFileDialog(const std::string& fileName)
{
  sDialogFileName = WideFromUtf8(fileName);
  sDialogAttempts = 0;
  SetTimer(nullptr, 0, 50, AnswerFileDialog);
}
