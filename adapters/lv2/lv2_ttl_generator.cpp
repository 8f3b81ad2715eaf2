// Writes the bundle's descriptions at build time from the instrument's own
// parameter table and the factory preset files, so names, ranges, defaults
// and preset values cannot drift from the code:
//
//   lv2-ttl-generator <bundle folder> <resources/presets folder>
//
// makes manifest.ttl, Thudwerk.ttl and presets/*.ttl. Exit status 1 with a
// message on anything it cannot write or read.

#include "preset_catalogue.h"
#include "preset_file.h"
#include "thudwerk.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{
constexpr const char* kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                                  "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                                  "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                                  "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                                  "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                                  "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
                                  "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                                  "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                                  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                                  "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                                  "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

struct FactoryPreset
{
  std::string label;
  std::string fileName;
  std::vector<std::pair<int, double>> values;
};

// The shortest decimal (always with a point, as Turtle decimals need one)
// that reads back as the same single-precision value: ports are floats.
std::string Decimal(double value)
{
  char text[64];
  for (int digits = 1; digits < 40; ++digits)
  {
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    if (static_cast<float>(std::strtod(text, nullptr)) == static_cast<float>(value)) break;
  }
  return text;
}

std::string Quoted(const std::string& text)
{
  std::string out = "\"";
  for (char c : text)
  {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

bool IsSymbol(const std::string& text)
{
  return !text.empty() && !std::isdigit(static_cast<unsigned char>(text[0])) &&
         std::all_of(text.begin(), text.end(),
                     [](char c)
                     { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// "07-EDM_1990s_Dance_F": catalogue position first, so the files sort in
// catalogue order too.
std::string PresetFileName(int presetIndex, const std::string& label)
{
  char number[8];
  std::snprintf(number, sizeof number, "%02d-", presetIndex);
  std::string name = number;
  bool gap = false;
  for (char c : label)
  {
    if (std::isalnum(static_cast<unsigned char>(c)))
    {
      if (gap && name.back() != '-') name += '_';
      name += c;
      gap = false;
    }
    else
    {
      gap = true;
    }
  }
  return name;
}

bool ReadFactoryPresets(const std::string& presetFolder, std::vector<FactoryPreset>& presets)
{
  for (int index = kFirstPresetIndex; index < kFirstUserPresetIndex; ++index)
  {
    char name[128];
    char path[256];
    if (!PresetName(index, name, sizeof name) || !PresetRelativePath(index, path, sizeof path))
      return false;
    std::string line;
    if (ReadPresetLastLine(presetFolder + "/" + path, line) != PresetFileRead::kRead)
    {
      std::fprintf(stderr, "lv2-ttl-generator: cannot read %s/%s\n", presetFolder.c_str(), path);
      return false;
    }
    const PresetFileValues parsed = ParsePresetLine(line);
    FactoryPreset preset{name, PresetFileName(index, name), {}};
    for (int i = 0; i < kPresetFileParams; ++i)
    {
      // Limited as the instrument limits a loaded value.
      if (parsed.found[i])
        preset.values.emplace_back(kPresetFileTags[i].paramIdx,
                                   std::clamp(parsed.value[i], 0.0, 1.0) + 0.0);
    }
    presets.push_back(preset);
  }
  return true;
}

std::string PluginDescription(const IPlugBase& plug)
{
  std::ostringstream out;
  const int version = plug.GetVersion();
  out << kPrefixes << "<" << kLv2PluginUri << ">\n"
      << "    a lv2:Plugin, lv2:InstrumentPlugin ;\n"
      << "    doap:name " << Quoted(plug.GetEffectName()) << " ;\n"
      << "    doap:license <https://www.gnu.org/licenses/gpl-3.0> ;\n"
      << "    lv2:minorVersion " << ((version >> 8) & 0xFF) << " ;\n"
      << "    lv2:microVersion " << (version & 0xFF) << " ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature opts:options ;\n"
      << "    opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n"
      << "    lv2:extensionData state:interface ;\n"
      << "    lv2:port [\n"
      << "        a lv2:InputPort, atom:AtomPort ;\n"
      << "        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports midi:MidiEvent ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:index " << kLv2EventsPort << " ;\n"
      << "        lv2:symbol \"events_in\" ;\n"
      << "        lv2:name \"MIDI In\"\n"
      << "    ] , [\n"
      << "        a lv2:OutputPort, lv2:AudioPort ;\n"
      << "        lv2:index " << kLv2OutLeftPort << " ;\n"
      << "        lv2:symbol \"out_l\" ;\n"
      << "        lv2:name \"Left\"\n"
      << "    ] , [\n"
      << "        a lv2:OutputPort, lv2:AudioPort ;\n"
      << "        lv2:index " << kLv2OutRightPort << " ;\n"
      << "        lv2:symbol \"out_r\" ;\n"
      << "        lv2:name \"Right\"\n";
  for (int i = 0; i < plug.ParamCount(); ++i)
  {
    const IPlugParam& param = *plug.GetParam(i);
    out << "    ] , [\n"
        << "        a lv2:InputPort, lv2:ControlPort ;\n"
        << "        lv2:index " << kLv2FirstParamPort + static_cast<uint32_t>(i) << " ;\n"
        << "        lv2:symbol " << Quoted(param.Name()) << " ;\n"
        << "        lv2:name " << Quoted(param.Name()) << " ;\n"
        << "        lv2:default " << Decimal(param.Default()) << " ;\n"
        << "        lv2:minimum " << Decimal(param.Min()) << " ;\n"
        << "        lv2:maximum " << Decimal(param.Max()) << (param.IsSwitch() ? " ;\n" : "\n");
    if (param.IsSwitch()) out << "        lv2:portProperty lv2:toggled\n";
  }
  out << "    ] , [\n"
      << "        a lv2:InputPort, lv2:ControlPort ;\n"
      << "        lv2:index " << Lv2EnabledPort(plug.ParamCount()) << " ;\n"
      << "        lv2:symbol \"enabled\" ;\n"
      << "        lv2:name \"Enabled\" ;\n"
      << "        lv2:designation lv2:enabled ;\n"
      << "        lv2:portProperty lv2:toggled ;\n"
      << "        lv2:default 1 ;\n"
      << "        lv2:minimum 0 ;\n"
      << "        lv2:maximum 1\n"
      << "    ] .\n";
  return out.str();
}

std::string Manifest(const std::vector<FactoryPreset>& presets)
{
  std::ostringstream out;
  out << kPrefixes << "<" << kLv2PluginUri << ">\n"
      << "    a lv2:Plugin, lv2:InstrumentPlugin ;\n"
      << "    lv2:binary <Thudwerk.so> ;\n"
      << "    rdfs:seeAlso <Thudwerk.ttl> ;\n"
      << "    ui:ui <" << kLv2UiUri << "> .\n\n"
      << "<" << kLv2UiUri << ">\n"
      << "    a ui:X11UI ;\n"
      << "    ui:binary <ThudwerkUI.so> ;\n"
      << "    lv2:requiredFeature ui:idleInterface, ui:parent ;\n"
      << "    lv2:optionalFeature ui:resize, ui:touch, ui:noUserResize, opts:options ;\n"
      << "    opts:supportedOption ui:scaleFactor ;\n"
      << "    lv2:extensionData ui:idleInterface .\n";
  for (const FactoryPreset& preset : presets)
    out << "\n<" << kLv2PresetUriBase << preset.fileName << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << kLv2PluginUri << "> ;\n"
        << "    rdfs:label " << Quoted(preset.label) << " ;\n"
        << "    rdfs:seeAlso <presets/" << preset.fileName << ".ttl> .\n";
  return out.str();
}

std::string PresetDescription(const IPlugBase& plug, const FactoryPreset& preset)
{
  std::ostringstream out;
  out << kPrefixes << "<" << kLv2PresetUriBase << preset.fileName << ">\n"
      << "    a pset:Preset ;\n"
      << "    lv2:appliesTo <" << kLv2PluginUri << "> ;\n"
      << "    rdfs:label " << Quoted(preset.label);
  for (const auto& [paramIdx, value] : preset.values)
    out << " ;\n    lv2:port [ lv2:symbol " << Quoted(plug.GetParam(paramIdx)->Name())
        << " ; pset:value " << Decimal(value) << " ]";
  out << " .\n";
  return out.str();
}

bool WriteFile(const std::string& path, const std::string& text)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (file) return true;
  std::fprintf(stderr, "lv2-ttl-generator: cannot write %s\n", path.c_str());
  return false;
}
} // namespace

int main(int argc, char** argv)
{
  if (argc != 3)
  {
    std::fprintf(stderr, "usage: %s <bundle folder> <presets folder>\n", argv[0]);
    return 1;
  }
  const std::string bundle = argv[1];
  Thudwerk plug(nullptr);
  for (int i = 0; i < plug.ParamCount(); ++i)
    if (!IsSymbol(plug.GetParam(i)->Name()))
    {
      std::fprintf(stderr, "lv2-ttl-generator: \"%s\" is no port symbol\n",
                   plug.GetParam(i)->Name());
      return 1;
    }
  std::vector<FactoryPreset> presets;
  if (!ReadFactoryPresets(argv[2], presets)) return 1;
  mkdir(bundle.c_str(), 0755);
  mkdir((bundle + "/presets").c_str(), 0755);
  bool written = WriteFile(bundle + "/manifest.ttl", Manifest(presets)) &&
                 WriteFile(bundle + "/Thudwerk.ttl", PluginDescription(plug));
  for (const FactoryPreset& preset : presets)
    written = written && WriteFile(bundle + "/presets/" + preset.fileName + ".ttl",
                                   PresetDescription(plug, preset));
  return written ? 0 : 1;
}
