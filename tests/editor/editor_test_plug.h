#pragma once

#include "plug_base.h"

#include <string>
#include <vector>

// A plugin base that records what the editor tells it, in order.
class EditorTestPlug : public IPlugBase
{
public:
  struct Event
  {
    enum Kind
    {
      kBegin,
      kValue, // NotifyHostParamValue, reached through SetParameterFromEditor
      kEnd,
      kHostMenu,
      kResize
    };
    Kind kind;
    int index;
    double value;
  };

  static constexpr int kParams = 6;
  // Parameter 4 is a three-entry list, 5 an integer with a negated display.
  static constexpr int kEnumParam = 4;
  static constexpr int kIntParam = 5;

  explicit EditorTestPlug(EApiKind api = kApiVST2);

  void BeginParamGesture(int paramIdx) override { Record(Event::kBegin, paramIdx, 0.0); }
  void NotifyHostParamValue(int paramIdx, double normalized) override
  {
    Record(Event::kValue, paramIdx, normalized);
  }
  void EndParamGesture(int paramIdx) override { Record(Event::kEnd, paramIdx, 0.0); }
  void ShowHostParamMenu(int paramIdx, int x, int y) override
  {
    Record(Event::kHostMenu, paramIdx, double(x * 10000 + y));
  }
  void ResizeEditor(int width, int height) override
  {
    Record(Event::kResize, width, double(height));
  }
  void NotifyHostPresetChange() override {}
  int GetSamplePosition() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSignature(int& numerator, int& denominator) override
  {
    numerator = 4;
    denominator = 4;
  }
  void QueryTransport(ITransportInfo&) override {}
  bool SendMidiEvent(const IMidiEvent&) override { return true; }

  std::vector<Event> events;
  // Events of one kind, for checks that ignore the others.
  std::vector<Event> EventsOf(Event::Kind kind) const;

private:
  void Record(Event::Kind kind, int index, double value)
  {
    events.push_back(Event{kind, index, value});
  }
};
