#pragma once

// What the plugin base needs from the editor attached to it. The editor
// (IGraphics) implements it; the base owns the attached editor and deletes it
// through this interface.
class IPlugEditor
{
public:
  virtual ~IPlugEditor() = default;

  // Hands a parameter's normalized value to every control bound to it
  // (TakeValueFromPlug) and to every control that lists it among its
  // auxiliary parameters (TakeAuxValueFromPlug at that position).
  virtual void TakeParamValueFromPlug(int paramIdx, double normalized) = 0;

  // Readies the editor for drawing once the plug has handed it every value.
  virtual void PrepareDraw() = 0;

  // Stores a parameter's value in the controls bound to it and marks them
  // dirty; a plain value is converted to normalized first.
  virtual void PushParamToControls(int paramIdx, double value, bool normalized) = 0;
};
