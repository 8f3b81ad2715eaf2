#include "parameter_lookup.h"

#include "engine_params.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace
{

std::string Lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

std::string Trimmed(const std::string& text)
{
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseNumber(const std::string& text, double* value)
{
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return false;
  char* end = nullptr;
  *value = std::strtod(trimmed.c_str(), &end);
  return end == trimmed.c_str() + trimmed.size() && std::isfinite(*value);
}

const PluginParameter* FindById(const std::vector<PluginParameter>& parameters, int id)
{
  for (const PluginParameter& p : parameters)
    if (p.id == id) return &p;
  return nullptr;
}

} // namespace

bool LookUpParameter(const std::vector<PluginParameter>& parameters, const std::string& key,
                     int* id, std::string* error)
{
  const std::string wanted = Lower(Trimmed(key));
  if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(),
                                     [](unsigned char c) { return std::isdigit(c) != 0; }))
  {
    const long number = wanted.size() > 9 ? -1 : std::strtol(wanted.c_str(), nullptr, 10);
    if (number >= 0 && FindById(parameters, int(number)))
    {
      *id = int(number);
      return true;
    }
    *error = "the plug-in has no parameter " + wanted;
    return false;
  }

  std::vector<int> matches;
  for (const PluginParameter& p : parameters)
    if (Lower(p.name) == wanted) matches.push_back(p.id);
  if (matches.empty())
    for (int index = 0; index < kEngineNumParams; ++index)
    {
      const std::string fullName = Lower(EngineParamRangeAt(index).name);
      const PluginParameter* reported = FindById(parameters, index);
      if (fullName == wanted && reported && !reported->name.empty() &&
          fullName.compare(0, reported->name.size(), Lower(reported->name)) == 0)
        matches.push_back(index);
    }
  if (matches.size() == 1)
  {
    *id = matches[0];
    return true;
  }
  *error = matches.empty() ? "the plug-in has no parameter named " + Trimmed(key) +
                                 " (--list-params shows them)"
                           : "more than one parameter is named " + Trimmed(key);
  return false;
}

bool SplitAssignment(const std::string& text, std::string* key, double* value)
{
  const auto equals = text.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  *key = Trimmed(text.substr(0, equals));
  return !key->empty() && ParseNumber(text.substr(equals + 1), value);
}
