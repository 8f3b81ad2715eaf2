#pragma once

// The CLAP 1.2 C binary interface between a host and a plug-in: records,
// callbacks, identifiers and flags, declared for both sides (the plug-in and
// the project's test and render hosts). Every record has natural alignment;
// the static_asserts at the end pin the x86-64 layout on Linux and Windows,
// which differ only in the width of an X11 window id.

#include <cstddef>
#include <cstdint>

extern "C"
{
  typedef uint32_t clap_id;
  typedef int32_t clap_process_status;
  typedef int64_t clap_beattime;
  typedef int64_t clap_sectime;
  typedef uint64_t clap_timestamp;

  struct clap_version_t
  {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
  };

  // ---- Host -------------------------------------------------------------

  struct clap_host_t
  {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void* (*get_extension)(const clap_host_t* host, const char* extension_id);
    void (*request_restart)(const clap_host_t* host);
    void (*request_process)(const clap_host_t* host);
    void (*request_callback)(const clap_host_t* host);
  };

  // ---- Events -----------------------------------------------------------

  struct clap_event_header_t
  {
    uint32_t size;
    uint32_t time;
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
  };

  struct clap_event_note_t
  {
    clap_event_header_t header;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double velocity;
  };

  struct clap_event_note_expression_t
  {
    clap_event_header_t header;
    int32_t expression_id;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
  };

  struct clap_event_param_value_t
  {
    clap_event_header_t header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
  };

  struct clap_event_param_mod_t
  {
    clap_event_header_t header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double amount;
  };

  struct clap_event_param_gesture_t
  {
    clap_event_header_t header;
    clap_id param_id;
  };

  struct clap_event_transport_t
  {
    clap_event_header_t header;
    uint32_t flags;
    clap_beattime song_pos_beats;
    clap_sectime song_pos_seconds;
    double tempo;
    double tempo_inc;
    clap_beattime loop_start_beats;
    clap_beattime loop_end_beats;
    clap_sectime loop_start_seconds;
    clap_sectime loop_end_seconds;
    clap_beattime bar_start;
    int32_t bar_number;
    uint16_t tsig_num;
    uint16_t tsig_denom;
  };

  struct clap_event_midi_t
  {
    clap_event_header_t header;
    uint16_t port_index;
    uint8_t data[3];
  };

  struct clap_event_midi_sysex_t
  {
    clap_event_header_t header;
    uint16_t port_index;
    const uint8_t* buffer;
    uint32_t size;
  };

  struct clap_event_midi2_t
  {
    clap_event_header_t header;
    uint16_t port_index;
    uint32_t data[4];
  };

  struct clap_input_events_t
  {
    void* ctx;
    uint32_t (*size)(const clap_input_events_t* list);
    const clap_event_header_t* (*get)(const clap_input_events_t* list, uint32_t index);
  };

  struct clap_output_events_t
  {
    void* ctx;
    bool (*try_push)(const clap_output_events_t* list, const clap_event_header_t* event);
  };

  // ---- Processing -------------------------------------------------------

  struct clap_audio_buffer_t
  {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
  };

  struct clap_process_t
  {
    int64_t steady_time;
    uint32_t frames_count;
    const clap_event_transport_t* transport;
    const clap_audio_buffer_t* audio_inputs;
    clap_audio_buffer_t* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events_t* in_events;
    const clap_output_events_t* out_events;
  };

  // ---- Plug-in, descriptor, factory, entry -------------------------------

  struct clap_plugin_descriptor_t
  {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;
  };

  struct clap_plugin_t
  {
    const clap_plugin_descriptor_t* desc;
    void* plugin_data;
    bool (*init)(const clap_plugin_t* plugin);
    void (*destroy)(const clap_plugin_t* plugin);
    bool (*activate)(const clap_plugin_t* plugin, double sample_rate, uint32_t min_frames_count,
                     uint32_t max_frames_count);
    void (*deactivate)(const clap_plugin_t* plugin);
    bool (*start_processing)(const clap_plugin_t* plugin);
    void (*stop_processing)(const clap_plugin_t* plugin);
    void (*reset)(const clap_plugin_t* plugin);
    clap_process_status (*process)(const clap_plugin_t* plugin, const clap_process_t* process);
    const void* (*get_extension)(const clap_plugin_t* plugin, const char* id);
    void (*on_main_thread)(const clap_plugin_t* plugin);
  };

  struct clap_plugin_factory_t
  {
    uint32_t (*get_plugin_count)(const clap_plugin_factory_t* factory);
    const clap_plugin_descriptor_t* (*get_plugin_descriptor)(const clap_plugin_factory_t* factory,
                                                             uint32_t index);
    const clap_plugin_t* (*create_plugin)(const clap_plugin_factory_t* factory,
                                          const clap_host_t* host, const char* plugin_id);
  };

  struct clap_plugin_entry_t
  {
    clap_version_t clap_version;
    bool (*init)(const char* plugin_path);
    void (*deinit)(void);
    const void* (*get_factory)(const char* factory_id);
  };

  // ---- Audio and note ports ----------------------------------------------

  struct clap_audio_port_info_t
  {
    clap_id id;
    char name[256];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
  };

  struct clap_plugin_audio_ports_t
  {
    uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
    bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
                clap_audio_port_info_t* info);
  };

  struct clap_note_port_info_t
  {
    clap_id id;
    uint32_t supported_dialects;
    uint32_t preferred_dialect;
    char name[256];
  };

  struct clap_plugin_note_ports_t
  {
    uint32_t (*count)(const clap_plugin_t* plugin, bool is_input);
    bool (*get)(const clap_plugin_t* plugin, uint32_t index, bool is_input,
                clap_note_port_info_t* info);
  };

  // ---- Parameters --------------------------------------------------------

  struct clap_param_info_t
  {
    clap_id id;
    uint32_t flags;
    void* cookie;
    char name[256];
    char module[1024];
    double min_value;
    double max_value;
    double default_value;
  };

  struct clap_plugin_params_t
  {
    uint32_t (*count)(const clap_plugin_t* plugin);
    bool (*get_info)(const clap_plugin_t* plugin, uint32_t param_index,
                     clap_param_info_t* param_info);
    bool (*get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
    bool (*value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value,
                          char* out_buffer, uint32_t out_buffer_capacity);
    bool (*text_to_value)(const clap_plugin_t* plugin, clap_id param_id,
                          const char* param_value_text, double* out_value);
    void (*flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                  const clap_output_events_t* out);
  };

  struct clap_host_params_t
  {
    void (*rescan)(const clap_host_t* host, uint32_t flags);
    void (*clear)(const clap_host_t* host, clap_id param_id, uint32_t flags);
    void (*request_flush)(const clap_host_t* host);
  };

  // ---- State -------------------------------------------------------------

  struct clap_istream_t
  {
    void* ctx;
    int64_t (*read)(const clap_istream_t* stream, void* buffer, uint64_t size);
  };

  struct clap_ostream_t
  {
    void* ctx;
    int64_t (*write)(const clap_ostream_t* stream, const void* buffer, uint64_t size);
  };

  struct clap_plugin_state_t
  {
    bool (*save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
    bool (*load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
  };

  struct clap_host_state_t
  {
    void (*mark_dirty)(const clap_host_t* host);
  };

  // ---- Editor ------------------------------------------------------------

  struct clap_window_t
  {
    const char* api;
    union
    {
      unsigned long x11;
      void* win32;
      void* ptr;
    };
  };

  struct clap_gui_resize_hints_t
  {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
  };

  struct clap_plugin_gui_t
  {
    bool (*is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    bool (*get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
    bool (*create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    void (*destroy)(const clap_plugin_t* plugin);
    bool (*set_scale)(const clap_plugin_t* plugin, double scale);
    bool (*get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    bool (*can_resize)(const clap_plugin_t* plugin);
    bool (*get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
    bool (*adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    bool (*set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
    bool (*set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
    bool (*set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
    void (*suggest_title)(const clap_plugin_t* plugin, const char* title);
    bool (*show)(const clap_plugin_t* plugin);
    bool (*hide)(const clap_plugin_t* plugin);
  };

  struct clap_host_gui_t
  {
    void (*resize_hints_changed)(const clap_host_t* host);
    bool (*request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
    bool (*request_show)(const clap_host_t* host);
    bool (*request_hide)(const clap_host_t* host);
    void (*closed)(const clap_host_t* host, bool was_destroyed);
  };

  // ---- Latency, tail, render ---------------------------------------------

  struct clap_plugin_latency_t
  {
    uint32_t (*get)(const clap_plugin_t* plugin);
  };

  struct clap_host_latency_t
  {
    void (*changed)(const clap_host_t* host);
  };

  struct clap_plugin_tail_t
  {
    uint32_t (*get)(const clap_plugin_t* plugin);
  };

  struct clap_host_tail_t
  {
    void (*changed)(const clap_host_t* host);
  };

  struct clap_plugin_render_t
  {
    bool (*has_hard_realtime_requirement)(const clap_plugin_t* plugin);
    bool (*set)(const clap_plugin_t* plugin, int32_t mode);
  };

  // ---- Host services -----------------------------------------------------

  struct clap_host_thread_check_t
  {
    bool (*is_main_thread)(const clap_host_t* host);
    bool (*is_audio_thread)(const clap_host_t* host);
  };

  struct clap_plugin_timer_support_t
  {
    void (*on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
  };

  struct clap_host_timer_support_t
  {
    bool (*register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
    bool (*unregister_timer)(const clap_host_t* host, clap_id timer_id);
  };

  struct clap_plugin_posix_fd_support_t
  {
    void (*on_fd)(const clap_plugin_t* plugin, int fd, uint32_t flags);
  };

  struct clap_host_posix_fd_support_t
  {
    bool (*register_fd)(const clap_host_t* host, int fd, uint32_t flags);
    bool (*modify_fd)(const clap_host_t* host, int fd, uint32_t flags);
    bool (*unregister_fd)(const clap_host_t* host, int fd);
  };

  struct clap_host_log_t
  {
    void (*log)(const clap_host_t* host, int32_t severity, const char* msg);
  };

  // ---- Presets -----------------------------------------------------------

  struct clap_plugin_preset_load_t
  {
    bool (*from_location)(const clap_plugin_t* plugin, uint32_t location_kind, const char* location,
                          const char* load_key);
  };

  struct clap_host_preset_load_t
  {
    void (*on_error)(const clap_host_t* host, uint32_t location_kind, const char* location,
                     const char* load_key, int32_t os_error, const char* msg);
    void (*loaded)(const clap_host_t* host, uint32_t location_kind, const char* location,
                   const char* load_key);
  };

  struct clap_universal_plugin_id_t
  {
    const char* abi;
    const char* id;
  };

  struct clap_preset_discovery_metadata_receiver_t
  {
    void* receiver_data;
    void (*on_error)(const clap_preset_discovery_metadata_receiver_t* receiver, int32_t os_error,
                     const char* error_message);
    bool (*begin_preset)(const clap_preset_discovery_metadata_receiver_t* receiver,
                         const char* name, const char* load_key);
    void (*add_plugin_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                          const clap_universal_plugin_id_t* plugin_id);
    void (*set_soundpack_id)(const clap_preset_discovery_metadata_receiver_t* receiver,
                             const char* soundpack_id);
    void (*set_flags)(const clap_preset_discovery_metadata_receiver_t* receiver, uint32_t flags);
    void (*add_creator)(const clap_preset_discovery_metadata_receiver_t* receiver,
                        const char* creator);
    void (*set_description)(const clap_preset_discovery_metadata_receiver_t* receiver,
                            const char* description);
    void (*set_timestamps)(const clap_preset_discovery_metadata_receiver_t* receiver,
                           clap_timestamp creation_time, clap_timestamp modification_time);
    void (*add_feature)(const clap_preset_discovery_metadata_receiver_t* receiver,
                        const char* feature);
    void (*add_extra_info)(const clap_preset_discovery_metadata_receiver_t* receiver,
                           const char* key, const char* value);
  };

  struct clap_preset_discovery_filetype_t
  {
    const char* name;
    const char* description;
    const char* file_extension;
  };

  struct clap_preset_discovery_location_t
  {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location;
  };

  struct clap_preset_discovery_soundpack_t
  {
    uint32_t flags;
    const char* id;
    const char* name;
    const char* description;
    const char* homepage_url;
    const char* vendor;
    const char* image_path;
    clap_timestamp release_timestamp;
  };

  struct clap_preset_discovery_provider_descriptor_t
  {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
  };

  struct clap_preset_discovery_provider_t
  {
    const clap_preset_discovery_provider_descriptor_t* desc;
    void* provider_data;
    bool (*init)(const clap_preset_discovery_provider_t* provider);
    void (*destroy)(const clap_preset_discovery_provider_t* provider);
    bool (*get_metadata)(const clap_preset_discovery_provider_t* provider, uint32_t location_kind,
                         const char* location,
                         const clap_preset_discovery_metadata_receiver_t* metadata_receiver);
    const void* (*get_extension)(const clap_preset_discovery_provider_t* provider,
                                 const char* extension_id);
  };

  struct clap_preset_discovery_indexer_t
  {
    clap_version_t clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexer_data;
    bool (*declare_filetype)(const clap_preset_discovery_indexer_t* indexer,
                             const clap_preset_discovery_filetype_t* filetype);
    bool (*declare_location)(const clap_preset_discovery_indexer_t* indexer,
                             const clap_preset_discovery_location_t* location);
    bool (*declare_soundpack)(const clap_preset_discovery_indexer_t* indexer,
                              const clap_preset_discovery_soundpack_t* soundpack);
    const void* (*get_extension)(const clap_preset_discovery_indexer_t* indexer,
                                 const char* extension_id);
  };

  struct clap_preset_discovery_factory_t
  {
    uint32_t (*count)(const clap_preset_discovery_factory_t* factory);
    const clap_preset_discovery_provider_descriptor_t* (*get_descriptor)(
        const clap_preset_discovery_factory_t* factory, uint32_t index);
    const clap_preset_discovery_provider_t* (*create)(
        const clap_preset_discovery_factory_t* factory,
        const clap_preset_discovery_indexer_t* indexer, const char* provider_id);
  };
}

// ---- Identifiers and constants ------------------------------------------

constexpr clap_version_t kClapVersion = {1, 2, 10};
constexpr clap_id kClapInvalidId = 0xFFFFFFFFu;
constexpr uint16_t kClapCoreEventSpaceId = 0;
// Fixed-point units of clap_beattime and clap_sectime.
constexpr int64_t kClapBeatTimeFactor = int64_t(1) << 31;
constexpr int64_t kClapSecTimeFactor = int64_t(1) << 31;

inline bool ClapVersionIsCompatible(const clap_version_t& version)
{
  return version.major >= 1;
}

constexpr const char* kClapPluginFactoryId = "clap.plugin-factory";
constexpr const char* kClapPresetDiscoveryFactoryId = "clap.preset-discovery-factory/2";
constexpr const char* kClapPresetDiscoveryFactoryIdCompat = "clap.preset-discovery-factory/draft-2";

constexpr const char* kClapExtAudioPorts = "clap.audio-ports";
constexpr const char* kClapExtNotePorts = "clap.note-ports";
constexpr const char* kClapExtParams = "clap.params";
constexpr const char* kClapExtState = "clap.state";
constexpr const char* kClapExtGui = "clap.gui";
constexpr const char* kClapExtLatency = "clap.latency";
constexpr const char* kClapExtTail = "clap.tail";
constexpr const char* kClapExtRender = "clap.render";
constexpr const char* kClapExtThreadCheck = "clap.thread-check";
constexpr const char* kClapExtLog = "clap.log";
constexpr const char* kClapExtTimerSupport = "clap.timer-support";
constexpr const char* kClapExtPosixFdSupport = "clap.posix-fd-support";
constexpr const char* kClapExtPresetLoad = "clap.preset-load/2";
constexpr const char* kClapExtPresetLoadCompat = "clap.preset-load.draft/2";

constexpr const char* kClapWindowApiX11 = "x11";
constexpr const char* kClapWindowApiWin32 = "win32";
constexpr const char* kClapPortStereo = "stereo";

enum ClapEventType : uint16_t
{
  kClapEventNoteOn = 0,
  kClapEventNoteOff = 1,
  kClapEventNoteChoke = 2,
  kClapEventNoteEnd = 3,
  kClapEventNoteExpression = 4,
  kClapEventParamValue = 5,
  kClapEventParamMod = 6,
  kClapEventParamGestureBegin = 7,
  kClapEventParamGestureEnd = 8,
  kClapEventTransport = 9,
  kClapEventMidi = 10,
  kClapEventMidiSysex = 11,
  kClapEventMidi2 = 12,
};

enum : uint32_t
{
  kClapEventIsLive = 1u << 0,
  kClapEventDontRecord = 1u << 1,
};

enum : uint32_t
{
  kClapTransportHasTempo = 1u << 0,
  kClapTransportHasBeatsTimeline = 1u << 1,
  kClapTransportHasSecondsTimeline = 1u << 2,
  kClapTransportHasTimeSignature = 1u << 3,
  kClapTransportIsPlaying = 1u << 4,
  kClapTransportIsRecording = 1u << 5,
  kClapTransportIsLoopActive = 1u << 6,
  kClapTransportIsWithinPreRoll = 1u << 7,
};

enum : clap_process_status
{
  kClapProcessError = 0,
  kClapProcessContinue = 1,
  kClapProcessContinueIfNotQuiet = 2,
  kClapProcessTail = 3,
  kClapProcessSleep = 4,
};

enum : uint32_t
{
  kClapAudioPortIsMain = 1u << 0,
  kClapAudioPortSupports64Bits = 1u << 1,
  kClapAudioPortPrefers64Bits = 1u << 2,
  kClapAudioPortRequiresCommonSampleSize = 1u << 3,
};

enum : uint32_t
{
  kClapNoteDialectClap = 1u << 0,
  kClapNoteDialectMidi = 1u << 1,
  kClapNoteDialectMidiMpe = 1u << 2,
  kClapNoteDialectMidi2 = 1u << 3,
};

enum : uint32_t
{
  kClapParamIsStepped = 1u << 0,
  kClapParamIsPeriodic = 1u << 1,
  kClapParamIsHidden = 1u << 2,
  kClapParamIsReadonly = 1u << 3,
  kClapParamIsBypass = 1u << 4,
  kClapParamIsAutomatable = 1u << 5,
  kClapParamIsModulatable = 1u << 10,
  kClapParamRequiresProcess = 1u << 15,
  kClapParamIsEnum = 1u << 16,
};

enum : uint32_t
{
  kClapParamRescanValues = 1u << 0,
  kClapParamRescanText = 1u << 1,
  kClapParamRescanInfo = 1u << 2,
  kClapParamRescanAll = 1u << 3,
};

enum : int32_t
{
  kClapRenderRealtime = 0,
  kClapRenderOffline = 1,
};

enum : uint32_t
{
  kClapPosixFdRead = 1u << 0,
  kClapPosixFdWrite = 1u << 1,
  kClapPosixFdError = 1u << 2,
};

enum : int32_t
{
  kClapLogDebug = 0,
  kClapLogInfo = 1,
  kClapLogWarning = 2,
  kClapLogError = 3,
  kClapLogFatal = 4,
  kClapLogHostMisbehaving = 5,
  kClapLogPluginMisbehaving = 6,
};

enum : uint32_t
{
  kClapPresetDiscoveryLocationFile = 0,
  kClapPresetDiscoveryLocationPlugin = 1,
};

enum : uint32_t
{
  kClapPresetDiscoveryIsFactoryContent = 1u << 0,
  kClapPresetDiscoveryIsUserContent = 1u << 1,
  kClapPresetDiscoveryIsDemoContent = 1u << 2,
  kClapPresetDiscoveryIsFavorite = 1u << 3,
};

// ---- Layout ---------------------------------------------------------------

#define THUDWERK_CLAP_LAYOUT(type, size, align)                                                    \
  static_assert(sizeof(type) == (size), #type " size");                                            \
  static_assert(alignof(type) == (align), #type " alignment")
#define THUDWERK_CLAP_FIELD(type, field, offset)                                                   \
  static_assert(offsetof(type, field) == (offset), #type "::" #field)

static_assert(sizeof(void*) == 8, "64-bit targets only");
static_assert(sizeof(bool) == 1, "one-byte bool");

THUDWERK_CLAP_LAYOUT(clap_version_t, 12, 4);
THUDWERK_CLAP_FIELD(clap_version_t, major, 0);
THUDWERK_CLAP_FIELD(clap_version_t, minor, 4);
THUDWERK_CLAP_FIELD(clap_version_t, revision, 8);

THUDWERK_CLAP_LAYOUT(clap_plugin_entry_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_plugin_entry_t, clap_version, 0);
THUDWERK_CLAP_FIELD(clap_plugin_entry_t, init, 16);
THUDWERK_CLAP_FIELD(clap_plugin_entry_t, deinit, 24);
THUDWERK_CLAP_FIELD(clap_plugin_entry_t, get_factory, 32);

THUDWERK_CLAP_LAYOUT(clap_plugin_factory_t, 24, 8);
THUDWERK_CLAP_FIELD(clap_plugin_factory_t, get_plugin_count, 0);
THUDWERK_CLAP_FIELD(clap_plugin_factory_t, get_plugin_descriptor, 8);
THUDWERK_CLAP_FIELD(clap_plugin_factory_t, create_plugin, 16);

THUDWERK_CLAP_LAYOUT(clap_plugin_descriptor_t, 88, 8);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, clap_version, 0);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, id, 16);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, name, 24);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, vendor, 32);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, url, 40);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, manual_url, 48);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, support_url, 56);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, version, 64);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, description, 72);
THUDWERK_CLAP_FIELD(clap_plugin_descriptor_t, features, 80);

THUDWERK_CLAP_LAYOUT(clap_plugin_t, 96, 8);
THUDWERK_CLAP_FIELD(clap_plugin_t, desc, 0);
THUDWERK_CLAP_FIELD(clap_plugin_t, plugin_data, 8);
THUDWERK_CLAP_FIELD(clap_plugin_t, init, 16);
THUDWERK_CLAP_FIELD(clap_plugin_t, destroy, 24);
THUDWERK_CLAP_FIELD(clap_plugin_t, activate, 32);
THUDWERK_CLAP_FIELD(clap_plugin_t, deactivate, 40);
THUDWERK_CLAP_FIELD(clap_plugin_t, start_processing, 48);
THUDWERK_CLAP_FIELD(clap_plugin_t, stop_processing, 56);
THUDWERK_CLAP_FIELD(clap_plugin_t, reset, 64);
THUDWERK_CLAP_FIELD(clap_plugin_t, process, 72);
THUDWERK_CLAP_FIELD(clap_plugin_t, get_extension, 80);
THUDWERK_CLAP_FIELD(clap_plugin_t, on_main_thread, 88);

THUDWERK_CLAP_LAYOUT(clap_host_t, 88, 8);
THUDWERK_CLAP_FIELD(clap_host_t, clap_version, 0);
THUDWERK_CLAP_FIELD(clap_host_t, host_data, 16);
THUDWERK_CLAP_FIELD(clap_host_t, name, 24);
THUDWERK_CLAP_FIELD(clap_host_t, vendor, 32);
THUDWERK_CLAP_FIELD(clap_host_t, url, 40);
THUDWERK_CLAP_FIELD(clap_host_t, version, 48);
THUDWERK_CLAP_FIELD(clap_host_t, get_extension, 56);
THUDWERK_CLAP_FIELD(clap_host_t, request_restart, 64);
THUDWERK_CLAP_FIELD(clap_host_t, request_process, 72);
THUDWERK_CLAP_FIELD(clap_host_t, request_callback, 80);

THUDWERK_CLAP_LAYOUT(clap_process_t, 64, 8);
THUDWERK_CLAP_FIELD(clap_process_t, steady_time, 0);
THUDWERK_CLAP_FIELD(clap_process_t, frames_count, 8);
THUDWERK_CLAP_FIELD(clap_process_t, transport, 16);
THUDWERK_CLAP_FIELD(clap_process_t, audio_inputs, 24);
THUDWERK_CLAP_FIELD(clap_process_t, audio_outputs, 32);
THUDWERK_CLAP_FIELD(clap_process_t, audio_inputs_count, 40);
THUDWERK_CLAP_FIELD(clap_process_t, audio_outputs_count, 44);
THUDWERK_CLAP_FIELD(clap_process_t, in_events, 48);
THUDWERK_CLAP_FIELD(clap_process_t, out_events, 56);

THUDWERK_CLAP_LAYOUT(clap_audio_buffer_t, 32, 8);
THUDWERK_CLAP_FIELD(clap_audio_buffer_t, data32, 0);
THUDWERK_CLAP_FIELD(clap_audio_buffer_t, data64, 8);
THUDWERK_CLAP_FIELD(clap_audio_buffer_t, channel_count, 16);
THUDWERK_CLAP_FIELD(clap_audio_buffer_t, latency, 20);
THUDWERK_CLAP_FIELD(clap_audio_buffer_t, constant_mask, 24);

THUDWERK_CLAP_LAYOUT(clap_event_header_t, 16, 4);
THUDWERK_CLAP_FIELD(clap_event_header_t, size, 0);
THUDWERK_CLAP_FIELD(clap_event_header_t, time, 4);
THUDWERK_CLAP_FIELD(clap_event_header_t, space_id, 8);
THUDWERK_CLAP_FIELD(clap_event_header_t, type, 10);
THUDWERK_CLAP_FIELD(clap_event_header_t, flags, 12);

THUDWERK_CLAP_LAYOUT(clap_event_note_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_event_note_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_note_t, note_id, 16);
THUDWERK_CLAP_FIELD(clap_event_note_t, port_index, 20);
THUDWERK_CLAP_FIELD(clap_event_note_t, channel, 22);
THUDWERK_CLAP_FIELD(clap_event_note_t, key, 24);
THUDWERK_CLAP_FIELD(clap_event_note_t, velocity, 32);

THUDWERK_CLAP_LAYOUT(clap_event_note_expression_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, expression_id, 16);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, note_id, 20);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, port_index, 24);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, channel, 26);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, key, 28);
THUDWERK_CLAP_FIELD(clap_event_note_expression_t, value, 32);

THUDWERK_CLAP_LAYOUT(clap_event_param_value_t, 56, 8);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, param_id, 16);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, cookie, 24);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, note_id, 32);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, port_index, 36);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, channel, 38);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, key, 40);
THUDWERK_CLAP_FIELD(clap_event_param_value_t, value, 48);

THUDWERK_CLAP_LAYOUT(clap_event_param_mod_t, 56, 8);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, param_id, 16);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, cookie, 24);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, note_id, 32);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, port_index, 36);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, channel, 38);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, key, 40);
THUDWERK_CLAP_FIELD(clap_event_param_mod_t, amount, 48);

THUDWERK_CLAP_LAYOUT(clap_event_param_gesture_t, 20, 4);
THUDWERK_CLAP_FIELD(clap_event_param_gesture_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_param_gesture_t, param_id, 16);

THUDWERK_CLAP_LAYOUT(clap_event_transport_t, 104, 8);
THUDWERK_CLAP_FIELD(clap_event_transport_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_transport_t, flags, 16);
THUDWERK_CLAP_FIELD(clap_event_transport_t, song_pos_beats, 24);
THUDWERK_CLAP_FIELD(clap_event_transport_t, song_pos_seconds, 32);
THUDWERK_CLAP_FIELD(clap_event_transport_t, tempo, 40);
THUDWERK_CLAP_FIELD(clap_event_transport_t, tempo_inc, 48);
THUDWERK_CLAP_FIELD(clap_event_transport_t, loop_start_beats, 56);
THUDWERK_CLAP_FIELD(clap_event_transport_t, loop_end_beats, 64);
THUDWERK_CLAP_FIELD(clap_event_transport_t, loop_start_seconds, 72);
THUDWERK_CLAP_FIELD(clap_event_transport_t, loop_end_seconds, 80);
THUDWERK_CLAP_FIELD(clap_event_transport_t, bar_start, 88);
THUDWERK_CLAP_FIELD(clap_event_transport_t, bar_number, 96);
THUDWERK_CLAP_FIELD(clap_event_transport_t, tsig_num, 100);
THUDWERK_CLAP_FIELD(clap_event_transport_t, tsig_denom, 102);

THUDWERK_CLAP_LAYOUT(clap_event_midi_t, 24, 4);
THUDWERK_CLAP_FIELD(clap_event_midi_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_midi_t, port_index, 16);
THUDWERK_CLAP_FIELD(clap_event_midi_t, data, 18);

THUDWERK_CLAP_LAYOUT(clap_event_midi_sysex_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_event_midi_sysex_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_midi_sysex_t, port_index, 16);
THUDWERK_CLAP_FIELD(clap_event_midi_sysex_t, buffer, 24);
THUDWERK_CLAP_FIELD(clap_event_midi_sysex_t, size, 32);

THUDWERK_CLAP_LAYOUT(clap_event_midi2_t, 36, 4);
THUDWERK_CLAP_FIELD(clap_event_midi2_t, header, 0);
THUDWERK_CLAP_FIELD(clap_event_midi2_t, port_index, 16);
THUDWERK_CLAP_FIELD(clap_event_midi2_t, data, 20);

THUDWERK_CLAP_LAYOUT(clap_input_events_t, 24, 8);
THUDWERK_CLAP_FIELD(clap_input_events_t, ctx, 0);
THUDWERK_CLAP_FIELD(clap_input_events_t, size, 8);
THUDWERK_CLAP_FIELD(clap_input_events_t, get, 16);

THUDWERK_CLAP_LAYOUT(clap_output_events_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_output_events_t, ctx, 0);
THUDWERK_CLAP_FIELD(clap_output_events_t, try_push, 8);

THUDWERK_CLAP_LAYOUT(clap_audio_port_info_t, 288, 8);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, id, 0);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, name, 4);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, flags, 260);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, channel_count, 264);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, port_type, 272);
THUDWERK_CLAP_FIELD(clap_audio_port_info_t, in_place_pair, 280);

THUDWERK_CLAP_LAYOUT(clap_plugin_audio_ports_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_plugin_audio_ports_t, count, 0);
THUDWERK_CLAP_FIELD(clap_plugin_audio_ports_t, get, 8);

THUDWERK_CLAP_LAYOUT(clap_note_port_info_t, 268, 4);
THUDWERK_CLAP_FIELD(clap_note_port_info_t, id, 0);
THUDWERK_CLAP_FIELD(clap_note_port_info_t, supported_dialects, 4);
THUDWERK_CLAP_FIELD(clap_note_port_info_t, preferred_dialect, 8);
THUDWERK_CLAP_FIELD(clap_note_port_info_t, name, 12);

THUDWERK_CLAP_LAYOUT(clap_plugin_note_ports_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_plugin_note_ports_t, count, 0);
THUDWERK_CLAP_FIELD(clap_plugin_note_ports_t, get, 8);

THUDWERK_CLAP_LAYOUT(clap_param_info_t, 1320, 8);
THUDWERK_CLAP_FIELD(clap_param_info_t, id, 0);
THUDWERK_CLAP_FIELD(clap_param_info_t, flags, 4);
THUDWERK_CLAP_FIELD(clap_param_info_t, cookie, 8);
THUDWERK_CLAP_FIELD(clap_param_info_t, name, 16);
THUDWERK_CLAP_FIELD(clap_param_info_t, module, 272);
THUDWERK_CLAP_FIELD(clap_param_info_t, min_value, 1296);
THUDWERK_CLAP_FIELD(clap_param_info_t, max_value, 1304);
THUDWERK_CLAP_FIELD(clap_param_info_t, default_value, 1312);

THUDWERK_CLAP_LAYOUT(clap_plugin_params_t, 48, 8);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, count, 0);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, get_info, 8);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, get_value, 16);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, value_to_text, 24);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, text_to_value, 32);
THUDWERK_CLAP_FIELD(clap_plugin_params_t, flush, 40);

THUDWERK_CLAP_LAYOUT(clap_host_params_t, 24, 8);
THUDWERK_CLAP_FIELD(clap_host_params_t, rescan, 0);
THUDWERK_CLAP_FIELD(clap_host_params_t, clear, 8);
THUDWERK_CLAP_FIELD(clap_host_params_t, request_flush, 16);

THUDWERK_CLAP_LAYOUT(clap_istream_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_istream_t, ctx, 0);
THUDWERK_CLAP_FIELD(clap_istream_t, read, 8);

THUDWERK_CLAP_LAYOUT(clap_ostream_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_ostream_t, ctx, 0);
THUDWERK_CLAP_FIELD(clap_ostream_t, write, 8);

THUDWERK_CLAP_LAYOUT(clap_plugin_state_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_plugin_state_t, save, 0);
THUDWERK_CLAP_FIELD(clap_plugin_state_t, load, 8);

THUDWERK_CLAP_LAYOUT(clap_host_state_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_host_state_t, mark_dirty, 0);

// The X11 window id is an unsigned long: 8 bytes on Linux, 4 on Windows; the
// union keeps the record at 16 bytes on both.
THUDWERK_CLAP_LAYOUT(clap_window_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_window_t, api, 0);
THUDWERK_CLAP_FIELD(clap_window_t, x11, 8);
THUDWERK_CLAP_FIELD(clap_window_t, win32, 8);
THUDWERK_CLAP_FIELD(clap_window_t, ptr, 8);
#ifdef _WIN32
static_assert(sizeof(clap_window_t::x11) == 4, "clap_window_t::x11 width on Windows");
#else
static_assert(sizeof(clap_window_t::x11) == 8, "clap_window_t::x11 width on Linux");
#endif

THUDWERK_CLAP_LAYOUT(clap_gui_resize_hints_t, 12, 4);
THUDWERK_CLAP_FIELD(clap_gui_resize_hints_t, can_resize_horizontally, 0);
THUDWERK_CLAP_FIELD(clap_gui_resize_hints_t, can_resize_vertically, 1);
THUDWERK_CLAP_FIELD(clap_gui_resize_hints_t, preserve_aspect_ratio, 2);
THUDWERK_CLAP_FIELD(clap_gui_resize_hints_t, aspect_ratio_width, 4);
THUDWERK_CLAP_FIELD(clap_gui_resize_hints_t, aspect_ratio_height, 8);

THUDWERK_CLAP_LAYOUT(clap_plugin_gui_t, 120, 8);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, is_api_supported, 0);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, get_preferred_api, 8);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, create, 16);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, destroy, 24);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, set_scale, 32);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, get_size, 40);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, can_resize, 48);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, get_resize_hints, 56);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, adjust_size, 64);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, set_size, 72);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, set_parent, 80);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, set_transient, 88);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, suggest_title, 96);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, show, 104);
THUDWERK_CLAP_FIELD(clap_plugin_gui_t, hide, 112);

THUDWERK_CLAP_LAYOUT(clap_host_gui_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_host_gui_t, resize_hints_changed, 0);
THUDWERK_CLAP_FIELD(clap_host_gui_t, request_resize, 8);
THUDWERK_CLAP_FIELD(clap_host_gui_t, request_show, 16);
THUDWERK_CLAP_FIELD(clap_host_gui_t, request_hide, 24);
THUDWERK_CLAP_FIELD(clap_host_gui_t, closed, 32);

THUDWERK_CLAP_LAYOUT(clap_plugin_latency_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_plugin_latency_t, get, 0);
THUDWERK_CLAP_LAYOUT(clap_host_latency_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_host_latency_t, changed, 0);
THUDWERK_CLAP_LAYOUT(clap_plugin_tail_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_plugin_tail_t, get, 0);
THUDWERK_CLAP_LAYOUT(clap_host_tail_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_host_tail_t, changed, 0);

THUDWERK_CLAP_LAYOUT(clap_plugin_render_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_plugin_render_t, has_hard_realtime_requirement, 0);
THUDWERK_CLAP_FIELD(clap_plugin_render_t, set, 8);

THUDWERK_CLAP_LAYOUT(clap_host_thread_check_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_host_thread_check_t, is_main_thread, 0);
THUDWERK_CLAP_FIELD(clap_host_thread_check_t, is_audio_thread, 8);

THUDWERK_CLAP_LAYOUT(clap_plugin_timer_support_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_plugin_timer_support_t, on_timer, 0);
THUDWERK_CLAP_LAYOUT(clap_host_timer_support_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_host_timer_support_t, register_timer, 0);
THUDWERK_CLAP_FIELD(clap_host_timer_support_t, unregister_timer, 8);

THUDWERK_CLAP_LAYOUT(clap_plugin_posix_fd_support_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_plugin_posix_fd_support_t, on_fd, 0);
THUDWERK_CLAP_LAYOUT(clap_host_posix_fd_support_t, 24, 8);
THUDWERK_CLAP_FIELD(clap_host_posix_fd_support_t, register_fd, 0);
THUDWERK_CLAP_FIELD(clap_host_posix_fd_support_t, modify_fd, 8);
THUDWERK_CLAP_FIELD(clap_host_posix_fd_support_t, unregister_fd, 16);

THUDWERK_CLAP_LAYOUT(clap_host_log_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_host_log_t, log, 0);

THUDWERK_CLAP_LAYOUT(clap_plugin_preset_load_t, 8, 8);
THUDWERK_CLAP_FIELD(clap_plugin_preset_load_t, from_location, 0);
THUDWERK_CLAP_LAYOUT(clap_host_preset_load_t, 16, 8);
THUDWERK_CLAP_FIELD(clap_host_preset_load_t, on_error, 0);
THUDWERK_CLAP_FIELD(clap_host_preset_load_t, loaded, 8);

// The preset-discovery records follow from natural alignment of their members
// (every field a pointer, a 32-bit integer or a 64-bit timestamp).
THUDWERK_CLAP_LAYOUT(clap_universal_plugin_id_t, 16, 8);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_metadata_receiver_t, 88, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, on_error, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, begin_preset, 16);
THUDWERK_CLAP_FIELD(clap_preset_discovery_metadata_receiver_t, add_extra_info, 80);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_filetype_t, 24, 8);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_location_t, 32, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_location_t, name, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_location_t, kind, 16);
THUDWERK_CLAP_FIELD(clap_preset_discovery_location_t, location, 24);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_soundpack_t, 64, 8);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_provider_descriptor_t, 40, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_provider_descriptor_t, id, 16);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_provider_t, 48, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_provider_t, get_metadata, 32);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_indexer_t, 88, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_indexer_t, indexer_data, 48);
THUDWERK_CLAP_FIELD(clap_preset_discovery_indexer_t, declare_filetype, 56);
THUDWERK_CLAP_FIELD(clap_preset_discovery_indexer_t, get_extension, 80);
THUDWERK_CLAP_LAYOUT(clap_preset_discovery_factory_t, 24, 8);
THUDWERK_CLAP_FIELD(clap_preset_discovery_factory_t, create, 16);

#undef THUDWERK_CLAP_FIELD
#undef THUDWERK_CLAP_LAYOUT
