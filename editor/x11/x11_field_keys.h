#pragma once

#include <X11/Xlib.h>

class IPlugParam;
class TextField;

enum class FieldKey
{
  kEdited,
  kEnter,
  kEscape,
  kUnhandled
};

// Applies a key to a drawn text field: editing keys, caret movement (Shift
// extends the selection), Ctrl+A, printable characters (filtered for a value
// entry of param when there is one).
FieldKey ApplyKeyToField(TextField& field, XKeyEvent& event, const IPlugParam* param);
