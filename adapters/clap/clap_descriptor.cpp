#include "clap_descriptor.h"

namespace
{
constexpr const char* kFeatures[] = {"instrument", "synthesizer", "drum", "stereo", nullptr};

const clap_plugin_descriptor_t kDescriptor = {
    kClapVersion,
    kThudwerkClapId,
    "Thudwerk",
    "VornAudio",
    "",
    "",
    "",
    THUDWERK_VERSION_STRING,
    "Kick-drum synthesizer: a pitched body and a snap, with distortion and reverb",
    kFeatures,
};
} // namespace

const clap_plugin_descriptor_t& ThudwerkClapDescriptor()
{
  return kDescriptor;
}
