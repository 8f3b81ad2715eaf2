#include "plug_param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
std::string Format(const IPlugParam& param, double value, bool normalized = false,
                   bool useDisplayTexts = true)
{
  char text[kParamTextSize];
  param.FormatForHost(value, normalized, text, kParamTextSize, useDisplayTexts);
  return text;
}

IPlugParam Defined(double defaultValue, double min, double max, double step, double shape = 1.0)
{
  IPlugParam param;
  param.DefineDouble("Name", defaultValue, min, max, step, "dB", "", shape);
  return param;
}
} // namespace

TEST(PlugParamTest, FreshParameterHasConstructionValues)
{
  const IPlugParam param;
  EXPECT_EQ(TypeNone, param.Type());
  EXPECT_EQ(0.0, param.Value());
  EXPECT_EQ(0.0, param.Min());
  EXPECT_EQ(1.0, param.Max());
  EXPECT_EQ(1.0, param.Step());
  EXPECT_EQ(1.0, param.Shape());
  EXPECT_EQ(0, param.DisplayPrecision());
  EXPECT_STREQ("", param.Name());
  EXPECT_TRUE(param.CanAutomate());
  EXPECT_FALSE(param.NegateDisplay());
  EXPECT_EQ(0, param.DisplayTextCount());
  EXPECT_EQ("0", Format(param, param.Value()));
  EXPECT_DOUBLE_EQ(0.5, param.ToNormalized(0.5));
}

TEST(PlugParamTest, DefineDoubleStoresFieldsWithoutClampingTheDefault)
{
  IPlugParam param;
  param.DefineDouble("BassEnvDecay", 2.0, 0.0, 1.0, 0.00001, "s", "Bass", 0.0);
  EXPECT_EQ(TypeDouble, param.Type());
  EXPECT_STREQ("BassEnvDecay", param.Name());
  EXPECT_STREQ("s", param.Label());
  EXPECT_STREQ("Bass", param.Group());
  EXPECT_EQ(2.0, param.Value());
  EXPECT_EQ(2.0, param.Default());
  EXPECT_EQ(1.0, param.Shape()) << "shape 0.0 keeps the shape";
}

TEST(PlugParamTest, DefineDoubleKeepsAnEarlierType)
{
  IPlugParam param;
  param.SetType(TypeInt);
  param.DefineDouble("Count", 0.0, 0.0, 10.0, 1.0);
  EXPECT_EQ(TypeInt, param.Type());
}

TEST(PlugParamTest, DefineDoubleRaisesAnEmptyRange)
{
  const IPlugParam param = Defined(0.0, 0.0, 0.0, 0.00001);
  EXPECT_EQ(0.0 + 0.00001, param.Max());
}

TEST(PlugParamTest, LongTextsAreCutToTheField)
{
  const std::string longName(40, 'n');
  IPlugParam param;
  param.DefineDouble(longName.c_str(), 0.0, 0.0, 1.0, 1.0, longName.c_str(), longName.c_str());
  EXPECT_EQ(std::string(kParamTextSize - 1, 'n'), param.Name());
  EXPECT_EQ(std::string(kParamTextSize - 1, 'n'), param.Label());
  EXPECT_EQ(std::string(kParamTextSize - 1, 'n'), param.Group());
}

TEST(PlugParamTest, DisplayPrecisionFollowsTheStep)
{
  EXPECT_EQ(0, Defined(0, 0, 10, 1.0).DisplayPrecision());
  EXPECT_EQ(1, Defined(0, 0, 10, 0.1).DisplayPrecision());
  EXPECT_EQ(2, Defined(0, 0, 10, 0.25).DisplayPrecision());
  EXPECT_EQ(5, Defined(0, 0, 10, 0.00001).DisplayPrecision());
  EXPECT_EQ(6, Defined(0, 0, 10, 1e-9).DisplayPrecision());
}

TEST(PlugParamTest, FiveDecimalStepFormatsFiveDecimals)
{
  const IPlugParam param = Defined(0.25, 0.0, 1.0, 0.00001);
  char text[kParamTextSize];
  param.FormatForHost(text, kParamTextSize);
  EXPECT_STREQ("0.25000", text);
}

TEST(PlugParamTest, SteppedTypesSnapHalvesUp)
{
  IPlugParam param;
  param.SetType(TypeInt);
  param.DefineDouble("Int", 0.0, 0.0, 10.0, 1.0);
  param.SetFromNormalized(0.54);
  EXPECT_EQ(5.0, param.Value());
  param.SetFromNormalized(0.55);
  EXPECT_EQ(6.0, param.Value());
}

TEST(PlugParamTest, SteppedTypeWithoutAStepStaysFinite)
{
  IPlugParam param;
  param.SetType(TypeInt);
  param.DefineDouble("Int", 0.0, 0.0, 10.0, 0.0);
  param.SetFromNormalized(0.5);
  EXPECT_EQ(5.0, param.Value());
}

TEST(PlugParamTest, BoolAndEnumSnapLikeInt)
{
  for (EParamType type : {TypeBool, TypeEnum})
  {
    IPlugParam param;
    param.SetType(type);
    param.DefineDouble("List", 0.0, 0.0, 3.0, 1.0);
    param.SetFromNormalized(0.4); // 1.2
    EXPECT_EQ(1.0, param.Value()) << type;
  }
}

TEST(PlugParamTest, DoubleIsNotSnappedAndLimitedToItsRange)
{
  IPlugParam param = Defined(0.0, -3.0, 7.0, 1.0);
  param.SetFromNormalized(0.37);
  EXPECT_DOUBLE_EQ(0.37 * 10.0 - 3.0, param.Value());
  param.SetFromNormalized(1.2);
  EXPECT_EQ(7.0, param.Value());
  param.SetFromNormalized(0.0);
  EXPECT_EQ(-3.0, param.Value());
}

TEST(PlugParamTest, NegativeOrNaNNormalizedValuesGiveMin)
{
  IPlugParam param = Defined(0.5, 2.0, 4.0, 0.001);
  param.SetFromNormalized(-0.5);
  EXPECT_EQ(2.0, param.Value());
  param.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(2.0, param.Value());
}

TEST(PlugParamTest, ShapeBendsBothMappings)
{
  IPlugParam param = Defined(0.0, 0.0, 100.0, 0.001, 2.0);
  param.SetFromNormalized(0.5);
  EXPECT_DOUBLE_EQ(25.0, param.Value());
  EXPECT_DOUBLE_EQ(0.5, param.ToNormalized(25.0));
}

TEST(PlugParamTest, ToNormalizedLimitsThePlainValue)
{
  const IPlugParam param = Defined(0.0, 10.0, 20.0, 0.01);
  EXPECT_EQ(0.0, param.ToNormalized(-5.0));
  EXPECT_EQ(1.0, param.ToNormalized(25.0));
  EXPECT_DOUBLE_EQ(0.25, param.ToNormalized(12.5));
}

TEST(PlugParamTest, ToNormalizedOfAnEmptyRangeIsZeroNotNaN)
{
  const IPlugParam param = Defined(1.0, 1.0, 0.0, 0.0);
  EXPECT_EQ(0.0, param.ToNormalized(1.0));
}

TEST(PlugParamTest, SetClampedLimitsAndIgnoresNaN)
{
  IPlugParam param = Defined(0.5, 0.0, 1.0, 0.00001);
  param.SetClamped(-2.0);
  EXPECT_EQ(0.0, param.Value());
  param.SetClamped(3.0);
  EXPECT_EQ(1.0, param.Value());
  param.SetClamped(0.75);
  EXPECT_EQ(0.75, param.Value());
  param.SetClamped(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(0.75, param.Value());
  param.SetClamped(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(0.0, param.Value());
}

TEST(PlugParamTest, NormalizedFormattingMapsWithoutSnappingOrLimiting)
{
  IPlugParam param;
  param.SetType(TypeInt);
  param.DefineDouble("Int", 0.0, 0.0, 10.0, 0.1);
  EXPECT_EQ("5.4", Format(param, 0.54, true));
  EXPECT_EQ("12.0", Format(param, 1.2, true));
}

TEST(PlugParamTest, NegateDisplayAppliesAfterTheTextLookup)
{
  IPlugParam param = Defined(3.5, 0.0, 10.0, 0.1);
  param.SetNegateDisplay(true);
  EXPECT_EQ("-3.5", Format(param, 3.5));
  param.AddDisplayText(3, "three");
  EXPECT_EQ("three", Format(param, 3.5));
  EXPECT_EQ("-3.5", Format(param, 3.5, false, false)) << "texts not wanted";
}

TEST(PlugParamTest, EmptyDisplayTextShowsTheNumberAndStopsTheSearch)
{
  IPlugParam param = Defined(2.0, 0.0, 10.0, 1.0);
  param.AddDisplayText(2, "");
  param.AddDisplayText(2, "two");
  EXPECT_EQ("2", Format(param, 2.0));
  EXPECT_STREQ("", param.DisplayTextFor(2));
  EXPECT_STREQ("dB", param.LabelForHost());
}

TEST(PlugParamTest, DisplayTextsAreSearchedFrontToBack)
{
  IPlugParam param = Defined(1.0, 0.0, 2.0, 1.0);
  param.AddDisplayText(0, "off");
  param.AddDisplayText(1, "on");
  param.AddDisplayText(1, "again");
  EXPECT_STREQ("on", param.DisplayTextFor(1));
  EXPECT_STREQ("", param.DisplayTextFor(7));
  ASSERT_EQ(3, param.DisplayTextCount());
  ASSERT_NE(nullptr, param.DisplayTextAt(2));
  EXPECT_STREQ("again", param.DisplayTextAt(2)->mText);
  EXPECT_EQ(nullptr, param.DisplayTextAt(3));
  EXPECT_EQ(nullptr, param.DisplayTextAt(-1));
  EXPECT_EQ("on", Format(param, 1.9)) << "the value is truncated toward zero";
}

TEST(PlugParamTest, LabelIsHiddenWhenATextNamesTheCurrentValue)
{
  IPlugParam param = Defined(1.0, 0.0, 2.0, 1.0);
  EXPECT_STREQ("dB", param.LabelForHost());
  param.AddDisplayText(1, "on");
  EXPECT_STREQ("", param.LabelForHost());
  param.SetClamped(0.0);
  EXPECT_STREQ("dB", param.LabelForHost());
}

TEST(PlugParamTest, FormattingRespectsTheBufferSize)
{
  const IPlugParam param = Defined(123456.0, 0.0, 1e9, 0.001);
  char text[6];
  std::memset(text, 'x', sizeof text);
  param.FormatForHost(param.Value(), false, text, 4, true);
  EXPECT_EQ(3u, std::strlen(text));
  EXPECT_EQ('x', text[4]) << "nothing written past the given size";
}

TEST(PlugParamTest, IntegerFormattingSaturatesHugeValues)
{
  const IPlugParam param = Defined(0.0, 0.0, 1e12, 1.0);
  EXPECT_EQ("2147483647", Format(param, 1e12));
  EXPECT_EQ("-2147483648", Format(param, -1e12));
}
