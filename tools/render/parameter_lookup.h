#pragma once

#include "plugin_instance.h"

#include <string>
#include <vector>

// Finds the parameter meant by a number (its index or id) or a name.
// Names are matched without regard to case against what the plug-in
// reports and, because VST2 plug-ins report names cut short, against
// Thudwerk's own parameter names (host index i is engine parameter i) when
// the plug-in's name at that index is the start of the full name. False
// with a sentence in *error when nothing or more than one parameter fits.
bool LookUpParameter(const std::vector<PluginParameter>& parameters, const std::string& key,
                     int* id, std::string* error);

// "NAME=VALUE" split into its parts; false when there is no '=' or the
// value is not a finite number.
bool SplitAssignment(const std::string& text, std::string* key, double* value);
