#pragma once

#include "graphics_types.h"

#include <string>
#include <vector>

class IGraphics;
class IPlugBase;
class ITextControl;

// One element of the editor: a rectangle that draws itself into the editor's
// draw bitmap, reacts to the mouse and may be bound to one host parameter.
// Values are normalized doubles in [0, 1].
//
// Threads: everything runs on the user-interface thread except
// TakeValueFromPlug and TakeAuxValueFromPlug, which the plugin base may call
// from the thread of a host parameter change; they only store a double and
// set flags, picked up at the next redraw tick.
class IControl
{
public:
  // A further parameter a control may follow besides its own.
  struct AuxParam
  {
    double mValue;
    int32_t mParamIdx;
  };

  IControl(IPlugBase* plug, const IRect& rect, int paramIdx = -1, const IBlend& blend = IBlend());
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // With the right button down: offers a value prompt (never, while prompting
  // is disabled, as it is for every control of this system).
  virtual void OnMouseDown(int x, int y, IMouseKeys* mods);
  virtual void OnMouseUp(int x, int y, IMouseKeys* mods);
  virtual void OnMouseDrag(int x, int y, int dX, int dY, IMouseKeys* mods);
  // Restores the default value (the first value the plug pushed), if known.
  virtual void OnMouseDblClick(int x, int y, IMouseKeys* mods);
  // d is in whole notches, positive away from the user.
  virtual void OnMouseWheel(int x, int y, IMouseKeys* mods, int d);
  virtual bool OnKeyDown(int x, int y, int key);
  virtual void OnMouseOver(int x, int y, IMouseKeys* mods);
  virtual void OnMouseOut();
  virtual bool Draw(IGraphics* graphics) = 0;
  // Any thread (see the class comment).
  virtual void TakeValueFromPlug(double value);
  virtual void TakeValueFromUserInput(double value);
  virtual void SetTextFromTextEntry(const char* text);
  virtual void Hide(bool hide);
  virtual void SetGrayed(bool grayed);
  virtual bool HitTest(int x, int y);
  // Clamps the value, marks the control dirty and, with push, sends the value
  // to the plugin base.
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void MarkClean();
  // May have side effects (see IFileSelectorControl): call once per tick.
  virtual bool IsDirty();
  // Any thread (see the class comment).
  virtual void TakeAuxValueFromPlug(int auxParamIdx, double value);

  // Offers a menu or a text box for the bound parameter, unless prompting is
  // disabled or the control has no parameter.
  void AskForValueText();

  IPlugBase* GetPlug() const { return mPlug; }
  // The editor this control was added to; null before.
  IGraphics* GetGUI() const { return mGraphics; }
  void SetGUI(IGraphics* graphics) { mGraphics = graphics; }

  const IRect& GetRECT() const { return mRECT; }
  const IRect& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetArea(const IRect& rect) { mTargetRECT = rect; }
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  double GetDefaultValue() const { return mDefaultValue; }
  void SetValue(double value) { mValue = value; }
  void SetClamp(double lo, double hi)
  {
    mClampLo = lo;
    mClampHi = hi;
  }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool IsDirtyAgain() const { return mDirtyAgain; }
  bool PromptIsDisabled() const { return mDisablePrompt; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool DoubleClickActsAsPress() const { return mDblAsSingleClick; }
  void SetDoubleClickActsAsPress(bool asPress) { mDblAsSingleClick = asPress; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }
  const IBlend& GetBlend() const { return mBlend; }
  IBlend* GetBlendPtr() { return &mBlend; }
  ITextStyle* GetText() { return &mText; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  void SetValDisplayControl(ITextControl* display) { mValDisplayControl = display; }
  void SetNameDisplayControl(ITextControl* display) { mNameDisplayControl = display; }
  const std::string& GetTooltip() const { return mTooltip; }
  void SetTooltip(const std::string& tooltip) { mTooltip = tooltip; }

  void AddAuxParam(int paramIdx);
  int NAuxParams() const { return int(mAuxParams.size()); }
  // Null outside [0, NAuxParams()).
  AuxParam* GetAuxParam(int position);
  // Position of the first entry bound to the parameter, or -1.
  int AuxParamPosition(int paramIdx) const;

protected:
  int32_t mTextEntryLength = 7;
  ITextStyle mText;
  IPlugBase* mPlug;
  IRect mRECT;
  IRect mTargetRECT;
  int32_t mParamIdx;
  std::vector<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0;
  double mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  // Keeps the control dirty for one more redraw after the one in progress.
  bool mDirtyAgain = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IBlend mBlend;
  ITextControl* mValDisplayControl = nullptr;
  ITextControl* mNameDisplayControl = nullptr;
  std::string mTooltip;
  IGraphics* mGraphics = nullptr;
};
