// In a process of its own, so that nothing is decoded or cached before: an
// instance a host only scans decodes no image, makes no font and reads no
// preset file; the editor's first paint from images decoded on demand is
// the picture of images decoded whole.

#include "editor_image_ids.h"
#include "font_cache.h"
#include "headless/graphics_headless.h"
#include "image_cache.h"
#include "kick_engine.h"
#include "lice_png.h"
#include "preset_sandbox.h"
#include "thudwerk.h"
#include "vst2_test_host.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
using namespace EngineParam;

AEffect* BuiltInEntry(audioMasterCallback host)
{
  return (new Thudwerk(host))->GetAEffect();
}

// An instance with its editor at a scale, made on the test's thread.
class ScaledEditor
{
public:
  explicit ScaledEditor(double contentScale)
  {
    AEffect* effect = mHost.InstantiateFrom(&BuiltInEntry);
    if (!effect) return;
    mHost.Dispatch(effect, effOpen);
    auto* plug = static_cast<Thudwerk*>(static_cast<IPlugVST*>(effect->object));
    if (!plug->SetEditorContentScale(contentScale)) return;
    mEffect = effect;
    mGui = dynamic_cast<IGraphicsHeadless*>(plug->GetEditor());
  }

  // Opens the editor and paints it once; any one thread.
  std::vector<LICE_pixel> FirstPaint()
  {
    std::vector<LICE_pixel> pixels;
    if (!mGui) return pixels;
    mHost.Dispatch(mEffect, effEditOpen);
    mGui->Tick();
    LICE_IBitmap* drawn = mGui->GetDrawBitmap();
    for (int y = 0; y < drawn->Height(); ++y)
      pixels.insert(pixels.end(), drawn->Bits() + y * drawn->RowSpan(),
                    drawn->Bits() + y * drawn->RowSpan() + drawn->Width());
    mHost.Dispatch(mEffect, effEditClose);
    return pixels;
  }

private:
  Vst2TestHost mHost;
  AEffect* mEffect = nullptr;
  IGraphicsHeadless* mGui = nullptr;
};

} // namespace

TEST(LazyStart, ScanningDecodesNoImageMakesNoFontAndReadsNoPreset)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  const std::string diver = sandbox.FactoryFile("WLCM - The Deep Diver");
  ASSERT_TRUE(WriteFileBytes(diver, "<BassEnvDecay>0.85</BassEnvDecay>"));
  Vst2TestHost host;
  AEffect* effect = host.InstantiateFrom(&BuiltInEntry);
  ASSERT_NE(effect, nullptr);
  host.Dispatch(effect, effOpen);
  EXPECT_EQ(host.DispatchForText(effect, effGetEffectName), "Thudwerk");
  EXPECT_EQ(host.DispatchForText(effect, effGetVendorString), "VornAudio");
  EXPECT_EQ(host.DispatchForText(effect, effGetParamName, BassEnvDecay), "BassEnvDecay");
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(PngDecodeCount(), 0);
  EXPECT_EQ(FontCache::Size(), 0);

  // Had the catalogue been read by now, the preset would still hold 0.85.
  ASSERT_TRUE(WriteFileBytes(diver, "<BassEnvDecay>0.3</BassEnvDecay>"));
  host.Dispatch(effect, effMainsChanged, 0, 1);
  effect->setParameter(effect, PresetSelector, float(2.0 / 10001.0));
  EXPECT_EQ(effect->getParameter(effect, BassEnvDecay), 0.3f);
}

TEST(LazyStart, FirstPaintIsThePictureOfImagesDecodedWhole)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  for (const auto& [contentScale, imageIdOffset] :
       {std::pair{1.0, 0}, {2.0, kDoubleScaleImageIdOffset}})
  {
    const std::vector<LICE_pixel> lazy = ScaledEditor(contentScale).FirstPaint();
    for (int id = kImageBackground; id <= kImageRackShadow; ++id)
    {
      LICE_IBitmap* image = ImageCache::Find(id + imageIdOffset);
      ASSERT_NE(image, nullptr) << id;
      ASSERT_NE(image->Bits(), nullptr) << id;
    }
    const std::vector<LICE_pixel> whole = ScaledEditor(contentScale).FirstPaint();
    ASSERT_FALSE(lazy.empty()) << contentScale;
    EXPECT_TRUE(lazy == whole) << contentScale;
  }
}

TEST(LazyStart, TwoEditorsFirstPaintingAtOnceShareTheDecoding)
{
  PresetSandbox sandbox;
  ASSERT_TRUE(sandbox.Ready());
  ScaledEditor one(2.0);
  ScaledEditor other(2.0);
  std::vector<LICE_pixel> otherPicture;
  std::thread otherThread([&] { otherPicture = other.FirstPaint(); });
  const std::vector<LICE_pixel> picture = one.FirstPaint();
  otherThread.join();
  ASSERT_FALSE(picture.empty());
  EXPECT_TRUE(picture == otherPicture);
}
