#include "editor_test_plug.h"

EditorTestPlug::EditorTestPlug(EApiKind api)
    : IPlugBase(kParams, "2-2", 1, "EditorTest", "", "Thudwerk", 0x00010000, 0x54657374, 0x54686477,
                true, false, true, api)
{
  for (int i = 0; i < kEnumParam; ++i)
    GetParam(i)->DefineDouble("Level", 0.0, 0.0, 1.0, 0.00001, "dB");
  IPlugParam* list = GetParam(kEnumParam);
  list->SetType(TypeEnum);
  list->DefineDouble("Mode", 1.0, 0.0, 2.0, 1.0);
  list->AddDisplayText(0, "Soft");
  list->AddDisplayText(1, "Medium");
  list->AddDisplayText(2, "Hard");
  IPlugParam* integer = GetParam(kIntParam);
  integer->SetType(TypeInt);
  integer->DefineDouble("Offset", 3.0, -10.0, 10.0, 1.0);
  integer->SetNegateDisplay(true);
}

std::vector<EditorTestPlug::Event> EditorTestPlug::EventsOf(Event::Kind kind) const
{
  std::vector<Event> matching;
  for (const Event& event : events)
    if (event.kind == kind) matching.push_back(event);
  return matching;
}
