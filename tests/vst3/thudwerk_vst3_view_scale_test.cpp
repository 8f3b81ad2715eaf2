// Thudwerk.vst3's view follows the host's content scale: 1000 x 960 from 1.5
// on, 500 x 480 below, reported by getSize and asked of the host's frame.

#include "plug_frame.h"
#include "thudwerk_fixture.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <limits>

using namespace Steinberg;

TEST_F(ThudwerkTest, ViewFollowsTheHostContentScale)
{
  IPtr<IPlugView> view = owned(controller->createView(Vst::ViewType::kEditor));
  IPtr<IPlugViewContentScaleSupport> scaling = Query<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  IPtr<PlugFrame> frame = owned(new PlugFrame);
  view->setFrame(frame);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  // Factor, answer, width afterwards; the height follows the width.
  const struct
  {
    float factor;
    tresult answer;
    int width;
  } steps[] = {
      {1.0f, kResultOk, 500},     {2.0f, kResultOk, 1000},     {nan, kResultFalse, 1000},
      {0.0f, kResultFalse, 1000}, {-2.0f, kResultFalse, 1000}, {infinity, kResultFalse, 1000},
      {1.25f, kResultOk, 500},    {1.5f, kResultOk, 1000},     {1.0f, kResultOk, 500}};
  size_t requests = 0;
  for (const auto& step : steps)
  {
    SCOPED_TRACE(step.factor);
    ViewRect before, after;
    view->getSize(&before);
    EXPECT_EQ(scaling->setContentScaleFactor(step.factor), step.answer);
    ASSERT_EQ(view->getSize(&after), kResultOk);
    EXPECT_EQ(after.getWidth(), step.width);
    EXPECT_EQ(after.getHeight(), step.width * 480 / 500);
    // Only a change of size is asked of the host.
    if (after.getWidth() != before.getWidth()) ++requests;
    ASSERT_EQ(frame->Requests().size(), requests);
    if (requests > 0)
    {
      EXPECT_EQ(frame->Requests().back().getWidth(), after.getWidth());
    }
  }
  view->setFrame(nullptr);
}
