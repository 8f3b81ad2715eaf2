#include "graphics.h"

#include "bitmap_control.h"
#include "control.h"
#include "image_cache.h"
#include "platform_folders.h"

#include "lice_bitmap.h"
#include "lice_blit.h"
#include "plug_base.h"
#include "plug_param.h"

#include <cmath>

namespace
{
// Drawing calls without a blend composite with the image's alpha.
const IBlend kDefaultBlend;
} // namespace

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(fps)
{
  // The plug-in declares its parameters before it builds its editor.
  mPendingValueCount = plug ? plug->ParamCount() : 0;
  if (mPendingValueCount > 0)
    mPendingValues = std::make_unique<PendingParamValue[]>(size_t(mPendingValueCount));
}

IGraphics::~IGraphics()
{
  mDecodeAhead.Finish();
  DeleteControls();
}

void IGraphics::DeleteControls()
{
  // Last to first: later controls may refer to earlier ones.
  while (!mControls.empty())
    mControls.pop_back();
}

bool IGraphics::WindowIsOpen()
{
  return WindowHandle() != nullptr;
}

const char* IGraphics::DrawingApiName()
{
  return "";
}

void IGraphics::HostFolder(std::string& folder)
{
  folder = PlatformFolders::HostFolder();
}

void IGraphics::PluginFolder(std::string& folder)
{
  folder = PlatformFolders::PluginFolder();
}

void IGraphics::DesktopFolder(std::string& folder)
{
  folder = PlatformFolders::DesktopFolder();
}

void IGraphics::AppDataFolder(std::string& folder, bool systemWide)
{
  folder = PlatformFolders::AppDataFolder(systemWide);
}

void IGraphics::UserAppDataFolder(std::string& folder)
{
  AppDataFolder(folder, false);
}

void IGraphics::Resize(int width, int height)
{
  mWidth = width;
  mHeight = height;
  ClearMouseCapture();
  // A catcher among the controls is about to be deleted with them.
  for (const auto& control : mControls)
    if (control.get() == mKeyCatcher) mKeyCatcher = nullptr;
  DeleteControls();
  mDrawBitmap.reset();
  PrepareDraw();
}

int IGraphics::DraggedParamIdx() const
{
  const IControl* held = GetControl(mMouseCapture);
  return held ? held->ParamIdx() : -1;
}

void IGraphics::TakeParamValueFromPlug(int paramIdx, double normalized)
{
  const bool slotted = paramIdx >= 0 && paramIdx < mPendingValueCount;
  if (std::this_thread::get_id() != mUserInterfaceThread.load(std::memory_order_relaxed) && slotted)
  {
    PendingParamValue& slot = mPendingValues[size_t(paramIdx)];
    slot.normalized.store(normalized, std::memory_order_relaxed);
    slot.pending.store(true, std::memory_order_release);
    return;
  }
  // A value waiting from another thread is older than this one.
  if (slotted) mPendingValues[size_t(paramIdx)].pending.store(false, std::memory_order_relaxed);
  GiveParamValueToControls(paramIdx, normalized);
}

void IGraphics::ForgetUserInterfaceThread()
{
  mUserInterfaceThread.store(std::thread::id(), std::memory_order_relaxed);
}

void IGraphics::TakePendingParamValues()
{
  for (int i = 0; i < mPendingValueCount; ++i)
  {
    PendingParamValue& slot = mPendingValues[size_t(i)];
    if (slot.pending.exchange(false, std::memory_order_acquire))
      GiveParamValueToControls(i, slot.normalized.load(std::memory_order_relaxed));
  }
}

void IGraphics::GiveParamValueToControls(int paramIdx, double normalized)
{
  for (const auto& control : mControls)
  {
    if (control->ParamIdx() == paramIdx) control->TakeValueFromPlug(normalized);
    const int aux = control->AuxParamPosition(paramIdx);
    if (aux >= 0) control->TakeAuxValueFromPlug(aux, normalized);
  }
}

void IGraphics::PrepareDraw()
{
  // A zero or negative size leaves the bitmap without pixels; drawing into
  // it then does nothing.
  mDrawBitmap = std::make_unique<LICE_SysBitmap>(mWidth, mHeight);
  mDrawnWhole = false;
  mDecodingAheadStarted = false;
}

void IGraphics::PushParamToControls(int paramIdx, double value, bool normalized)
{
  if (!normalized)
  {
    IPlugParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  TakeParamValueFromPlug(paramIdx, value);
}

IImage IGraphics::LoadImageById(int id, const char* fileName, int nFrames, bool framesAreHorizontal)
{
  LICE_IBitmap* bitmap = ImageCache::Find(id);
  if (!bitmap) bitmap = ImageCache::Insert(id, LoadResourceBitmap(id, fileName));
  if (!bitmap) return IImage(nullptr, 0, 0, nFrames, framesAreHorizontal);
  return IImage(bitmap, bitmap->Width(), bitmap->Height(), nFrames, framesAreHorizontal);
}

void IGraphics::SetBackgroundImage(int id, const char* fileName)
{
  const IImage image = LoadImageById(id, fileName, 1);
  auto background =
      std::make_unique<IBitmapControl>(mPlug, 0, 0, -1, image, IBlend(IBlend::kBlendClobber, 1.0f));
  background->SetGUI(this);
  mControls.insert(mControls.begin(), std::move(background));
  // Indices shifted: a capture taken before would now name another control.
  ClearMouseCapture();
}

IControl* IGraphics::AddControl(IControl* control)
{
  if (!control) return nullptr;
  control->SetGUI(this);
  mControls.emplace_back(control);
  return control;
}

IControl* IGraphics::GetControl(int index) const
{
  if (index < 0 || index >= NControls()) return nullptr;
  return mControls[size_t(index)].get();
}

bool IGraphics::IsDirty(IRect& rect)
{
  mUserInterfaceThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  TakePendingParamValues();
  bool dirty = false;
  for (const auto& control : mControls)
  {
    if (control->IsDirty())
    {
      rect = rect.Union(control->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(const IRect& rect)
{
  if (mControls.empty()) return true;
  mDrawRECT = rect;
  if (!mDrawnWhole && !mDecodingAheadStarted)
  {
    mDecodingAheadStarted = true;
    mDecodeAhead.Start(ImageRowsToDraw());
  }
  for (const auto& control : mControls)
  {
    if (!control->IsHidden() && rect.Intersects(control->GetRECT())) control->Draw(this);
    control->MarkClean();
  }
  mDecodeAhead.Finish();
  if (rect.L <= 0 && rect.T <= 0 && rect.R >= mWidth && rect.B >= mHeight) mDrawnWhole = true;
  return DrawScreen(rect);
}

std::vector<DecodeAhead::ImageRows> IGraphics::ImageRowsToDraw()
{
  std::vector<DecodeAhead::ImageRows> images;
  mImageRowsWanted = &images;
  for (const auto& control : mControls)
    if (!control->IsHidden() && mDrawRECT.Intersects(control->GetRECT())) control->Draw(this);
  mImageRowsWanted = nullptr;
  return images;
}

bool IGraphics::DrawImage(const IImage& image, const IRect& dest, int srcX, int srcY,
                          const IBlend* blend)
{
  if (!image.mBitmap || !mDrawBitmap) return false;
  const IBlend& how = blend ? *blend : kDefaultBlend;
  const IRect clipped = dest.Intersection(mDrawRECT);
  const LICE_Rect source{srcX + clipped.L - dest.L, srcY + clipped.T - dest.T,
                         srcX + clipped.R - dest.L, srcY + clipped.B - dest.T};
  if (mImageRowsWanted)
  {
    // The blit reads no row that lands outside the draw bitmap.
    const IRect drawn =
        clipped.Intersection(IRect(0, 0, mDrawBitmap->Width(), mDrawBitmap->Height()));
    if (drawn.H() > 0 && drawn.W() > 0)
      WantImageRows(image.mBitmap, source.bottom - (clipped.B - drawn.B));
    return true;
  }
  LICE_CopyArea(mDrawBitmap.get(), image.mBitmap, clipped.L, clipped.T, &source, how.mWeight,
                how.RasterMode());
  return true;
}

bool IGraphics::DrawImageFrame(const IImage& image, const IRect& dest, int frame,
                               const IBlend* blend)
{
  int srcX = 0;
  int srcY = 0;
  if (image.N >= 2 && frame >= 2)
  {
    const double extent = image.mFramesAreHorizontal ? image.W : image.H;
    const int offset = int(extent * double(frame - 1) / double(image.N) + 0.5);
    (image.mFramesAreHorizontal ? srcX : srcY) = offset;
  }
  return DrawImage(image, dest, srcX, srcY, blend);
}

void IGraphics::WantImageRows(LICE_IBitmap* image, int rows)
{
  for (DecodeAhead::ImageRows& wanted : *mImageRowsWanted)
  {
    if (wanted.image != image) continue;
    if (rows > wanted.rows) wanted.rows = rows;
    return;
  }
  mImageRowsWanted->push_back({image, rows});
}

bool IGraphics::FillRect(const IRgba& color, const IRect& rect, const IBlend* blend)
{
  if (!mDrawBitmap) return false;
  if (mImageRowsWanted) return true;
  const IBlend& how = blend ? *blend : kDefaultBlend;
  LICE_FillArea(mDrawBitmap.get(), rect.L, rect.T, rect.W(), rect.H(), color.Packed(), how.mWeight,
                how.RasterMode());
  return true;
}

void IGraphics::SetAllControlsDirty()
{
  for (const auto& control : mControls)
    control->SetDirty(false);
}

void IGraphics::ClearMouseCapture()
{
  mMouseCapture = -1;
  mMouseX = -1;
  mMouseY = -1;
}
