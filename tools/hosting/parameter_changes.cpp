#include "parameter_changes.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

int32 PLUGIN_API ParamValueQueue::getPointCount()
{
  return static_cast<int32>(mPoints.size());
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
  if (index < 0 || index >= getPointCount()) return kInvalidArgument;
  sampleOffset = mPoints[static_cast<size_t>(index)].first;
  value = mPoints[static_cast<size_t>(index)].second;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
  index = getPointCount();
  mPoints.emplace_back(sampleOffset, value);
  return kResultOk;
}

void ParameterChanges::Add(ParamID id, int32 sampleOffset, ParamValue value)
{
  int32 index = 0;
  addParameterData(id, index)->addPoint(sampleOffset, value, index);
}

int32 PLUGIN_API ParameterChanges::getParameterCount()
{
  return static_cast<int32>(mQueues.size());
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
  if (index < 0 || index >= getParameterCount()) return nullptr;
  return mQueues[static_cast<size_t>(index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
  for (size_t i = 0; i < mQueues.size(); ++i)
  {
    if (mQueues[i]->getParameterId() == id)
    {
      index = static_cast<int32>(i);
      return mQueues[i];
    }
  }
  index = getParameterCount();
  mQueues.push_back(owned(new ParamValueQueue(id)));
  return mQueues.back();
}
