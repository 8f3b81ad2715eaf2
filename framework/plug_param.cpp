#include "plug_param.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// Display precision never exceeds this many decimals, however fine the step.
static constexpr int kMaxDisplayPrecision = 6;

void CopyTextField(char* field, int fieldSize, const char* text)
{
  if (!field || fieldSize <= 0) return;
  int length = 0;
  if (text)
  {
    while (length < fieldSize - 1 && text[length] != '\0')
    {
      field[length] = text[length];
      ++length;
    }
  }
  field[length] = '\0';
}

// Truncates toward zero into int32, saturating where a cast would be undefined.
static int TruncateToInt(double value)
{
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

void IPlugParam::DefineDouble(const char* name, double defaultValue, double min, double max,
                              double step, const char* label, const char* group, double shape)
{
  if (mType == TypeNone) mType = TypeDouble;
  CopyTextField(mName, kParamTextSize, name);
  CopyTextField(mLabel, kParamTextSize, label);
  CopyTextField(mGroup, kParamTextSize, group);

  mMin = min;
  mValue = defaultValue;
  mMax = (min + step > max) ? min + step : max;
  mStep = step;
  mDefault = defaultValue;

  mDisplayPrecision = 0;
  for (double s = step; std::floor(s) != s && mDisplayPrecision < kMaxDisplayPrecision; s *= 10.0)
    ++mDisplayPrecision;

  if (shape != 0.0) mShape = shape;
}

double IPlugParam::NormalizedToPlain(double normalized) const
{
  return std::pow(normalized, mShape) * (mMax - mMin) + mMin;
}

void IPlugParam::SetFromNormalized(double normalized)
{
  // Buggy hosts send values outside [0, 1] or NaN; limiting x keeps the value
  // inside the range even when the range is empty.
  if (!(normalized >= 0.0)) normalized = 0.0;
  if (normalized > 1.0) normalized = 1.0;
  double value = NormalizedToPlain(normalized);
  if (mType != TypeDouble && mStep > 0.0) value = std::floor(value / mStep + 0.5) * mStep;
  if (value > mMax) value = mMax;
  if (value < mMin) value = mMin;
  mValue = value;
}

double IPlugParam::ToNormalized(double plain) const
{
  if (!(mMax > mMin)) return 0.0;
  if (plain < mMin) plain = mMin;
  if (plain > mMax) plain = mMax;
  return std::pow((plain - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IPlugParam::SetClamped(double plain)
{
  if (std::isnan(plain)) return;
  mValue = plain < mMin ? mMin : (plain > mMax ? mMax : plain);
}

const DisplayTextEntry* IPlugParam::FindDisplayText(int value) const
{
  for (const DisplayTextEntry& entry : mDisplayTexts)
  {
    if (entry.mValue == value) return &entry;
  }
  return nullptr;
}

// A value that rounds to zero at the display precision ("-0.00000", from a
// tiny negative value or a negated zero) shows as zero: hosts show the text
// as it is.
static void DropSignOfZero(char* text)
{
  if (text[0] != '-') return;
  for (const char* c = text + 1; *c; ++c)
    if (*c != '0' && *c != '.') return;
  std::memmove(text, text + 1, std::strlen(text));
}

void IPlugParam::FormatForHost(double value, bool isNormalized, char* out, int outSize,
                               bool useDisplayTexts) const
{
  if (!out || outSize <= 0) return;
  double v = isNormalized ? NormalizedToPlain(value) : value;
  if (useDisplayTexts)
  {
    const DisplayTextEntry* entry = FindDisplayText(TruncateToInt(v));
    if (entry && entry->mText[0] != '\0')
    {
      CopyTextField(out, outSize, entry->mText);
      return;
    }
  }
  if (mNegateDisplay) v = -v;
  if (mDisplayPrecision != 0)
    std::snprintf(out, static_cast<size_t>(outSize), "%.*f", mDisplayPrecision, v);
  else
    std::snprintf(out, static_cast<size_t>(outSize), "%d", TruncateToInt(v));
  DropSignOfZero(out);
}

void IPlugParam::FormatForHost(char* out, int outSize) const
{
  FormatForHost(mValue, false, out, outSize, true);
}

void IPlugParam::SetShortName(const char* shortName)
{
  CopyTextField(mShortName, kParamShortNameSize, shortName);
}

const char* IPlugParam::LabelForHost() const
{
  const DisplayTextEntry* entry = FindDisplayText(TruncateToInt(mValue));
  return (entry && entry->mText[0] != '\0') ? "" : mLabel;
}

const char* IPlugParam::DisplayTextFor(int value) const
{
  const DisplayTextEntry* entry = FindDisplayText(value);
  return entry ? entry->mText : "";
}

void IPlugParam::AddDisplayText(int value, const char* text)
{
  DisplayTextEntry entry;
  entry.mValue = value;
  CopyTextField(entry.mText, kParamTextSize, text);
  mDisplayTexts.push_back(entry);
}

const DisplayTextEntry* IPlugParam::DisplayTextAt(int position) const
{
  if (position < 0 || position >= DisplayTextCount()) return nullptr;
  return &mDisplayTexts[static_cast<size_t>(position)];
}
