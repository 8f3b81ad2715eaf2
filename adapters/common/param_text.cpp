#include "param_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

void CopyTextToHost(void* destination, const char* text, size_t capacity)
{
  if (!destination || capacity == 0) return;
  const size_t length = std::min(std::strlen(text ? text : ""), capacity - 1);
  std::memcpy(destination, text ? text : "", length);
  static_cast<char*>(destination)[length] = '\0';
}

bool ParamValueFromText(const IPlugParam& param, const char* text, double& value)
{
  if (!text) return false;
  if (param.DisplayTextCount() > 0)
  {
    const DisplayTextEntry* match = nullptr;
    for (int i = 0; i < param.DisplayTextCount() && !match; ++i)
      if (std::strcmp(param.DisplayTextAt(i)->mText, text) == 0) match = param.DisplayTextAt(i);
    if (!match) return false;
    value = match->mValue;
    return true;
  }
  value = std::atof(text);
  if (param.NegateDisplay()) value = -value;
  return true;
}

int ClampChannelCount(int requested, int available)
{
  return std::max(0, std::min(requested, available));
}
