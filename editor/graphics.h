#pragma once

#include "graphics_types.h"
#include "menu.h"

#include "critical_section.h"
#include "decode_ahead.h"
#include "plug_editor.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class IControl;
class IPlugBase;
class IPlugParam;
class LICE_IBitmap;
class LICE_SysBitmap;

// The editor's drawing surface and event hub: it owns the controls (position
// 0 is the background; later controls draw later and are on top for hit
// testing) and the off-screen draw bitmap, moves parameter values between the
// plugin base and the controls, redraws only what is dirty, and routes mouse
// and key events to the control under the pointer. Everything that needs a
// window system is virtual: IGraphicsWin implements it with Win32,
// IGraphicsHeadless without any window.
//
// Threads: the user-interface thread, except PushParamToControls and
// TakeParamValueFromPlug (any thread). Called on another thread (the host's
// audio thread, say), they only leave the value in a per-parameter slot,
// without allocating or waiting; the user-interface thread hands it to the
// controls before its next redraw, so controls are only ever touched by one
// thread. The user-interface thread is the one that built the editor until
// a redraw cycle (IsDirty) runs, then the one running it.
// The image and font caches are process-wide and locked.
class IGraphics : public IPlugEditor
{
public:
  static constexpr int kDefaultWidth = 500;
  static constexpr int kDefaultHeight = 480;
  static constexpr int kDefaultFPS = 25;

  enum FileAction : int
  {
    kFileOpen = 0,
    kFileSave = 1
  };

  IGraphics(IPlugBase* plug, int width = kDefaultWidth, int height = kDefaultHeight,
            int fps = kDefaultFPS);

  // Platform operations, in slot order.
  // Copies rect of the draw bitmap to the screen.
  virtual bool DrawScreen(const IRect& rect) = 0;
  // Measures str in the text's style and fits rect around it by alignment.
  virtual bool MeasureText(ITextStyle* text, const char* str, IRect& rect);
  virtual void CancelTextEntry() = 0;
  // Rebuilds the editor at a new size (the plug rebuilds the controls). The
  // host is told nothing here: the caller may hold the instance lock, so it
  // ends the dragged control's gesture (DraggedParamIdx) and asks the host
  // for the size itself once the lock is released.
  virtual void Resize(int width, int height);
  virtual bool WindowIsOpen();
  virtual const char* DrawingApiName();
  virtual int ShowMessageDialog(const char* text, const char* caption, int type) = 0;
  // Modal. Returns the (sub)menu an item was chosen from, with its chosen
  // item set, or null when nothing was chosen.
  virtual IMenu* ShowPopupMenu(IMenu* menu, const IRect& rect) = 0;
  // The result arrives later, through the control (TakeValueFromUserInput
  // with a parameter, SetTextFromTextEntry without).
  virtual void CreateTextEntry(IControl* control, const ITextStyle& text, const IRect& rect,
                               const char* initial, IPlugParam* param) = 0;
  // Folders of the running system, ending with a separator; empty when
  // unknown. The same for every editor of a platform.
  virtual void HostFolder(std::string& folder);
  virtual void PluginFolder(std::string& folder);
  virtual void DesktopFolder(std::string& folder);
  // The machine-wide application data folder, or the user's own.
  virtual void AppDataFolder(std::string& folder, bool systemWide);
  virtual void UserAppDataFolder(std::string& folder);
  // Modal. On return file holds the chosen path, or is empty when the prompt
  // was cancelled; folder holds the chosen file's folder (unchanged on
  // cancel). extensions: space-separated, without dots.
  virtual void AskForFile(std::string& file, int action, std::string& folder,
                          const char* extensions) = 0;
  virtual bool AskForColor(IRgba& color, const char* prompt) = 0;
  virtual bool OpenUrl(const char* url, const char* caption, const char* confirmation,
                       const char* error) = 0;
  virtual void* OpenEditorWindow(void* parentWindow) = 0;
  virtual void CloseEditorWindow() = 0;
  virtual void* WindowHandle() = 0;
  virtual bool ClipboardText(std::string& text) = 0;
  ~IGraphics() override;
  virtual void ConcealMouseCursor() {}
  virtual void RevealMouseCursor() {}
  // True while a modal prompt (menu, dialog) runs inside a control's event
  // handler: the controls must not be deleted (Resize) until it returns.
  virtual bool InModalPrompt() const { return false; }
  // Held by whatever runs the window's events and redraws. Work on the
  // controls from another thread while the window may be drawing (a host's
  // content-scale switch) takes it first, before any other lock.
  CriticalSection& WindowLock() { return mWindowLock; }
  // Until the next redraw cycle names one, no thread hands values to the
  // controls directly. For a thread of the window's own as it starts, and as
  // it ends: a later thread may be given its id.
  void ForgetUserInterfaceThread();
  // The image of a resource id, its size known and its pixels decoded when
  // first drawn; the file name's extension selects the decoder. Null when
  // there is no such image.
  virtual LICE_IBitmap* LoadResourceBitmap(int id, const char* fileName) = 0;

  // What the plugin base needs (IPlugEditor); any thread.
  void TakeParamValueFromPlug(int paramIdx, double normalized) override;
  // Creates the draw bitmap at the editor size.
  void PrepareDraw() override;
  void PushParamToControls(int paramIdx, double value, bool normalized) override;

  // Images come from the process-wide cache, keyed by id alone.
  IImage LoadImageById(int id, const char* fileName, int nFrames = 1,
                       bool framesAreHorizontal = false);
  // Puts a plain-copy picture of the image first in the control list.
  void SetBackgroundImage(int id, const char* fileName);
  // Takes ownership; returns the control.
  IControl* AddControl(IControl* control);

  // The redraw cycle: IsDirty grows rect by every dirty control (asking each
  // control exactly once) and answers whether any was; Draw redraws every
  // visible control meeting rect, marks every control clean and copies rect
  // to the screen.
  bool IsDirty(IRect& rect);
  bool Draw(const IRect& rect);
  // The draw bitmap has been drawn whole since it was made: with what the
  // dirty controls draw next, it is the current picture.
  bool DrawnWhole() const { return mDrawnWhole; }

  // Drawing services for controls. DrawImage clips to the area being redrawn;
  // FillRect and DrawText are clipped by the bitmap only. A null blend is
  // plain alpha compositing at full weight.
  bool DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY,
                 const IBlend* blend = nullptr);
  // Frame k is 1-based.
  bool DrawImageFrame(const IImage& image, const IRect& dest, int frame,
                      const IBlend* blend = nullptr);
  bool FillRect(const IRgba& color, const IRect& rect, const IBlend* blend = nullptr);
  // False, drawing nothing, when the font cannot be made.
  bool DrawText(ITextStyle* text, const char* str, const IRect& rect);
  // The process-wide font for the text's size, orientation, style and name;
  // stored in the text. Null when the platform cannot make it.
  LICE_CachedFont* CacheFont(ITextStyle* text);

  // Mouse and key entry points of the window code.
  void OnMouseDown(int x, int y, IMouseKeys* mods);
  void OnMouseUp(int x, int y, IMouseKeys* mods);
  // Only while a button is held and the window has the capture.
  void OnMouseDrag(int x, int y, IMouseKeys* mods);
  // True when the control treats it as a press (the window then captures).
  bool OnMouseDblClick(int x, int y, IMouseKeys* mods);
  void OnMouseWheel(int x, int y, IMouseKeys* mods, int d);
  bool OnKeyDown(int x, int y, int key);
  bool OnMouseOver(int x, int y, IMouseKeys* mods);
  void OnMouseOut();

  // Ends the gesture of the press in progress now, for a control that opens
  // a modal prompt which swallows the release; the release then ends no
  // gesture of its own.
  void EndPressGestureEarly(int paramIdx);

  // Offers a menu (list parameters) or a text box (others) for a parameter.
  void AskForValueText(IControl* control, IPlugParam* param, const IRect& rect);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  IPlugBase* GetPlug() const { return mPlug; }
  int NControls() const { return int(mControls.size()); }
  // Null outside [0, NControls()).
  IControl* GetControl(int index) const;
  LICE_SysBitmap* GetDrawBitmap() const { return mDrawBitmap.get(); }
  const IRect& GetDrawRect() const { return mDrawRECT; }
  int GetMouseCapture() const { return mMouseCapture; }
  // The parameter of the control being dragged, or -1.
  int DraggedParamIdx() const;
  int GetMouseOver() const { return mMouseOver; }
  int GetMouseX() const { return mMouseX; }
  int GetMouseY() const { return mMouseY; }
  bool CanHandleMouseOver() const { return mHandleMouseOver; }
  void HandleMouseOver(bool canHandle) { mHandleMouseOver = canHandle; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableTooltips(bool enable) { mEnableTooltips = enable; }
  bool IsStrictDrawing() const { return mStrict; }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }
  void SetKeyCatcher(IControl* control) { mKeyCatcher = control; }

protected:
  // Applies the text typed into a value entry: a parameter takes the value
  // (list parameters by display text, others as a number); without one the
  // control takes the raw text. At most 32 characters count.
  static void CommitTextEntry(IControl* control, IPlugParam* param, const char* typed);
  // Marks every control dirty, so that a newly opened window is painted whole.
  void SetAllControlsDirty();
  void ClearMouseCapture();
  void DeleteControls();

  // The topmost control that is visible, not greyed and hit; -1 when none.
  // For mouse-over, a greyed control that takes mouse-over while greyed
  // counts too.
  int GetMouseControlIdx(int x, int y, bool mouseOver = false) const;

  std::vector<std::unique_ptr<IControl>> mControls;
  IPlugBase* mPlug;

private:
  struct PendingParamValue
  {
    std::atomic<double> normalized{0.0};
    std::atomic<bool> pending{false};
  };
  void GiveParamValueToControls(int paramIdx, double normalized);
  void TakePendingParamValues();
  // The image rows the controls meeting mDrawRECT read, in draw order: what
  // they would draw, drawing nothing.
  std::vector<DecodeAhead::ImageRows> ImageRowsToDraw();
  void WantImageRows(LICE_IBitmap* image, int rows);

  std::unique_ptr<PendingParamValue[]> mPendingValues;
  int mPendingValueCount = 0;
  std::atomic<std::thread::id> mUserInterfaceThread{std::this_thread::get_id()};
  CriticalSection mWindowLock;
  // The first picture of a draw bitmap decodes its images on two threads.
  bool mDecodingAheadStarted = false;
  DecodeAhead mDecodeAhead;
  // Set while ImageRowsToDraw lists instead of drawing.
  std::vector<DecodeAhead::ImageRows>* mImageRowsWanted = nullptr;

protected:
  IRect mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1;
  int mHiddenMousePointY = -1;
  std::unique_ptr<LICE_SysBitmap> mDrawBitmap;
  bool mDrawnWhole = false;
  int mWidth;
  int mHeight;
  int mFPS;
  int mMouseCapture = -1;
  int mMouseOver = -1;
  int mMouseX = 0;
  int mMouseY = 0;
  bool mHandleMouseOver = false;
  bool mPressGestureEnded = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;
};
