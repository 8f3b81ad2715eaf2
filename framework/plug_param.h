#pragma once

#include <cstdint>
#include <vector>

// Kinds of host parameter; the values are stored and compared as int32.
enum EParamType : int32_t
{
  TypeNone = 0,   // not yet defined
  TypeBool = 1,   // snapped to the step; a list for hosts and menus
  TypeInt = 2,    // snapped to the step
  TypeEnum = 3,   // snapped to the step; a list for hosts and menus
  TypeDouble = 4, // continuous
};

// Capacity of the name, label, group and display-text fields, terminator
// included.
constexpr int kParamTextSize = 32;
// Capacity of the short name, terminator included: what narrow host
// displays show.
constexpr int kParamShortNameSize = 8;

// A text shown instead of the number when the value truncates to mValue.
struct DisplayTextEntry
{
  int32_t mValue = 0;
  char mText[kParamTextSize] = {};
};

// One host-automatable parameter: its plain value, range, step and response
// curve, the conversions to and from the normalized [0, 1] value hosts use,
// and its display text. A plain record without a lock: the plugin base's
// lock serializes its writers. Nothing here allocates except AddDisplayText.
class IPlugParam
{
public:
  // Turns the parameter into a continuous one (a parameter whose type was
  // set before keeps it). max is raised to min + step when it is below; a
  // shape of 0.0 keeps the current shape. Texts longer than 31 characters
  // are cut.
  void DefineDouble(const char* name, double defaultValue, double min, double max, double step,
                    const char* label = "", const char* group = "", double shape = 1.0);

  // value = x^shape * (max - min) + min, snapped to the step unless
  // continuous, limited to [min, max]. x is limited to [0, 1] first (NaN
  // counts as 0).
  void SetFromNormalized(double normalized);
  // Inverse mapping of a plain value limited to [min, max]; 0 for an empty
  // range.
  double ToNormalized(double plain) const;
  // value = plain limited to [min, max]; NaN leaves the value as it is.
  void SetClamped(double plain);

  // Writes the display text of a value into out (outSize bytes, always
  // terminated when outSize > 0). A normalized value is mapped to plain
  // units without snapping or limiting. Display texts, when wanted, win over
  // the number when one matches and is not empty.
  void FormatForHost(double value, bool isNormalized, char* out, int outSize,
                     bool useDisplayTexts) const;
  // The current plain value, with display texts.
  void FormatForHost(char* out, int outSize) const;
  // The unit label, or "" when a display text already names the current value.
  const char* LabelForHost() const;
  // Text of the first entry for value, or "" when there is none.
  const char* DisplayTextFor(int value) const;

  // Appends a display text (cut to 31 characters); entries are searched in
  // the order they were added. Allocates: call while defining parameters.
  void AddDisplayText(int value, const char* text);
  int DisplayTextCount() const { return static_cast<int>(mDisplayTexts.size()); }
  // The entry at that position, or null outside [0, count).
  const DisplayTextEntry* DisplayTextAt(int position) const;

  EParamType Type() const { return mType; }
  void SetType(EParamType type) { mType = type; }
  double Value() const { return mValue; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  double Default() const { return mDefault; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  bool NegateDisplay() const { return mNegateDisplay; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  bool CanAutomate() const { return mCanAutomate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
  // A name of at most 7 characters for hosts with narrow displays (cut to
  // fit); until one is set, the name stands in and hosts cut it.
  void SetShortName(const char* shortName);
  const char* ShortName() const { return mShortName[0] != '\0' ? mShortName : mName; }
  // An on/off parameter that hosts may show as a switch; every TypeBool is.
  bool IsSwitch() const { return mIsSwitch || mType == TypeBool; }
  void SetIsSwitch(bool isSwitch) { mIsSwitch = isSwitch; }

private:
  double NormalizedToPlain(double normalized) const;
  const DisplayTextEntry* FindDisplayText(int value) const;

  EParamType mType = TypeNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int32_t mDisplayPrecision = 0;
  char mName[kParamTextSize] = {};
  char mLabel[kParamTextSize] = {};
  char mGroup[kParamTextSize] = {};
  char mShortName[kParamShortNameSize] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  bool mIsSwitch = false;
  std::vector<DisplayTextEntry> mDisplayTexts;
};

// Copies text into a field of fieldSize bytes, cut to fit and terminated;
// null text gives "".
void CopyTextField(char* field, int fieldSize, const char* text);
