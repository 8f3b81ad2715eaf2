// Thudwerk.vst3's editor view follows the host's content scale: the
// double-scale editor (1000 x 960) from 1.5 on, the normal one (500 x 480)
// below, reported through getSize and asked of the host's frame.

#include "plug_frame.h"
#include "thudwerk_fixture.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <limits>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

TEST_F(ThudwerkTest, ViewFollowsTheHostContentScale)
{
  IPtr<IPlugView> view = owned(controller->createView(ViewType::kEditor));
  ASSERT_TRUE(view);
  IPtr<IPlugViewContentScaleSupport> scaling = Query<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  IPtr<PlugFrame> frame = owned(new PlugFrame);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);

  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  const struct
  {
    float factor;
    tresult answer;
    int width;
    int height;
  } steps[] = {{1.0f, kResultOk, 500, 480},      {2.0f, kResultOk, 1000, 960},
               {nan, kResultFalse, 1000, 960},   {0.0f, kResultFalse, 1000, 960},
               {-2.0f, kResultFalse, 1000, 960}, {infinity, kResultFalse, 1000, 960},
               {1.25f, kResultOk, 500, 480},     {1.5f, kResultOk, 1000, 960},
               {1.0f, kResultOk, 500, 480}};
  std::vector<ViewRect> expectedRequests;
  for (const auto& step : steps)
  {
    SCOPED_TRACE(step.factor);
    ViewRect previous;
    ASSERT_EQ(view->getSize(&previous), kResultOk);
    EXPECT_EQ(scaling->setContentScaleFactor(step.factor), step.answer);
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), step.width);
    EXPECT_EQ(size.getHeight(), step.height);
    if (size.getWidth() != previous.getWidth()) expectedRequests.push_back(size);
    ASSERT_EQ(frame->Requests().size(), expectedRequests.size());
  }
  for (size_t i = 0; i < expectedRequests.size(); ++i)
  {
    EXPECT_EQ(frame->Requests()[i].getWidth(), expectedRequests[i].getWidth());
    EXPECT_EQ(frame->Requests()[i].getHeight(), expectedRequests[i].getHeight());
  }
  view->setFrame(nullptr);
}

} // namespace
