#pragma once

#include "control.h"

#include <string>

// A button that opens a file prompt. Every use, chosen or cancelled, flips
// the parameter between 0 and 1 so the plug hears of it and reads the file
// string: the chosen path, or empty when cancelled. Its image shows only
// while the prompt is open.
class IFileSelectorControl : public IControl
{
public:
  enum Action : int32_t
  {
    kFileOpen = 0,
    kFileSave = 1
  };
  enum State : int32_t
  {
    kIdle = 0,
    kDialogOpen = 1,
    kDialogFinished = 2 // not yet redrawn
  };

  IFileSelectorControl(IPlugBase* plug, const IRect& rect, int paramIdx, const IImage& image,
                       int32_t action, const char* folder = "", const char* extensions = "");

  // Runs the modal prompt; returns when it closes.
  void OnMouseDown(int x, int y, IMouseKeys* mods) override;
  bool Draw(IGraphics* graphics) override;
  // Also answers true once after the prompt finished, so that the area the
  // image covered while it was open is repainted.
  bool IsDirty() override;

  const std::string& GetLastSelectedFileForPlug() const { return mFile; }
  const std::string& GetFolder() const { return mDir; }
  void SetFolder(const std::string& folder) { mDir = folder; }
  const std::string& GetExtensions() const { return mExtensions; }
  int32_t GetAction() const { return mAction; }
  int32_t GetState() const { return mState; }

protected:
  IImage mImage;
  std::string mDir;
  std::string mFile;
  std::string mExtensions;
  int32_t mAction;
  int32_t mState = kIdle;
};
