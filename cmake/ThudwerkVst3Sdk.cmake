# The VST 3 SDK subset that Debian ships inside JUCE's module sources, built
# once as a static library. It is third-party code: it keeps its own warnings
# and its headers are system headers to our targets.
include_guard(GLOBAL)

set(THUDWERK_VST3_SDK_DIR
    "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST 3 SDK sources (pluginterfaces, base, public.sdk)")

if(NOT EXISTS "${THUDWERK_VST3_SDK_DIR}/pluginterfaces/base/funknown.h")
  message(FATAL_ERROR "VST 3 SDK not found in ${THUDWERK_VST3_SDK_DIR} "
                      "(install juce-modules-source-data with scripts/setup-deps.sh)")
endif()

# The subset declares the editor-view interface identifiers but has no source
# that defines them; this one does.
set(_gui_iids "${CMAKE_BINARY_DIR}/vst3sdk/gui_iids.cpp")
file(CONFIGURE OUTPUT "${_gui_iids}" CONTENT [[
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace Steinberg {
DEF_CLASS_IID (IPlugView)
DEF_CLASS_IID (IPlugFrame)
DEF_CLASS_IID (IPlugViewContentScaleSupport)
#if SMTG_OS_LINUX
namespace Linux {
DEF_CLASS_IID (IEventHandler)
DEF_CLASS_IID (ITimerHandler)
DEF_CLASS_IID (IRunLoop)
}
#endif
}
]] @ONLY)

set(_sdk "${THUDWERK_VST3_SDK_DIR}")
add_library(thudwerk_vst3sdk STATIC
  ${_gui_iids}
  ${_sdk}/pluginterfaces/base/conststringtable.cpp
  ${_sdk}/pluginterfaces/base/coreiids.cpp
  ${_sdk}/pluginterfaces/base/funknown.cpp
  ${_sdk}/pluginterfaces/base/ustring.cpp
  ${_sdk}/base/source/baseiids.cpp
  ${_sdk}/base/source/fbuffer.cpp
  ${_sdk}/base/source/fdebug.cpp
  ${_sdk}/base/source/fobject.cpp
  ${_sdk}/base/source/fstreamer.cpp
  ${_sdk}/base/source/fstring.cpp
  ${_sdk}/base/source/updatehandler.cpp
  ${_sdk}/base/thread/source/flock.cpp
  ${_sdk}/public.sdk/source/common/memorystream.cpp
  ${_sdk}/public.sdk/source/common/pluginview.cpp
  ${_sdk}/public.sdk/source/vst/vstbus.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponent.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
  ${_sdk}/public.sdk/source/vst/vstparameters.cpp
  ${_sdk}/public.sdk/source/vst/vstpresetfile.cpp
  ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp)
unset(_sdk)
unset(_gui_iids)

target_include_directories(thudwerk_vst3sdk SYSTEM PUBLIC "${THUDWERK_VST3_SDK_DIR}")
target_compile_definitions(thudwerk_vst3sdk PUBLIC RELEASE=1)
# The SDK's own sources are not ours to fix; keep the build log quiet.
target_compile_options(thudwerk_vst3sdk PRIVATE -w)

find_package(Threads REQUIRED)
target_link_libraries(thudwerk_vst3sdk PUBLIC Threads::Threads)
if(WIN32)
  target_link_libraries(thudwerk_vst3sdk PUBLIC ole32)
else()
  target_link_libraries(thudwerk_vst3sdk PUBLIC ${CMAKE_DL_LIBS})
endif()
