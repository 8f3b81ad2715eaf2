#pragma once

#include "plug_param.h"

#include <cstddef>

// Parameter names, labels and display texts handed to hosts. The VST 2.4
// interface says 8 bytes, but hosts give 64 or more and names cut to 7
// characters show up as duplicates ("BassEnv" twice), so up to 31 characters
// are written, as most plug-ins do; every format uses the same length.
constexpr size_t kParamTextCapacity = 32;

// Copies text into a host buffer that holds capacity bytes, cut to fit and
// terminated. Nothing is written without a buffer.
void CopyTextToHost(void* destination, const char* text, size_t capacity);

// The plain value a host's text stands for: the value of the display text it
// names exactly, or else the number it starts with (negated back for
// parameters shown negated). False without text, or when the parameter has
// display texts and none matches.
bool ParamValueFromText(const IPlugParam& param, const char* text, double& value);

// A host's channel count limited to the channels that exist.
int ClampChannelCount(int requested, int available);
