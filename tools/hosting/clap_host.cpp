#include "clap_host.h"

#include <cstring>

ClapHost& ClapHost::From(const clap_host_t* host)
{
  return *static_cast<ClapHost*>(host->host_data);
}

// The host extension tables, reaching the host through host_data.
struct ClapHostExtensions
{
  static ClapHost& From(const clap_host_t* host) { return ClapHost::From(host); }
  static bool IsMainThread(const clap_host_t* host) { return From(host).IsMainThread(); }
  static bool IsAudioThread(const clap_host_t* host) { return From(host).IsAudioThread(); }

  static void Log(const clap_host_t* host, int32_t severity, const char* msg)
  {
    ClapHost& self = From(host);
    self.Check("log", ClapHost::Rule::kAny);
    std::lock_guard<std::mutex> lock(self.mMutex);
    self.mRecord.logs.push_back(std::to_string(severity) + ": " + (msg ? msg : ""));
  }

  static void Rescan(const clap_host_t* host, uint32_t flags)
  {
    ClapHost& self = From(host);
    self.Check("params.rescan", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.rescans;
    self.mRecord.rescanFlags |= flags;
  }
  static void Clear(const clap_host_t* host, clap_id, uint32_t)
  {
    From(host).Check("params.clear", ClapHost::Rule::kMain);
  }
  static void RequestFlush(const clap_host_t* host)
  {
    ClapHost& self = From(host);
    self.Check("params.request_flush", ClapHost::Rule::kNotAudio);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.flushRequests;
  }

  static void MarkDirty(const clap_host_t* host)
  {
    ClapHost& self = From(host);
    self.Check("state.mark_dirty", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.dirtyMarks;
  }

  static void ResizeHintsChanged(const clap_host_t* host)
  {
    From(host).Check("gui.resize_hints_changed", ClapHost::Rule::kAny);
  }
  static bool RequestResize(const clap_host_t* host, uint32_t width, uint32_t height)
  {
    ClapHost& self = From(host);
    self.Check("gui.request_resize", ClapHost::Rule::kAny);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.resizeRequests;
    self.mRecord.resizeWidth = width;
    self.mRecord.resizeHeight = height;
    return self.mOptions.acceptResize;
  }
  static bool RequestShowHide(const clap_host_t* host)
  {
    From(host).Check("gui.request_show/hide", ClapHost::Rule::kAny);
    return false;
  }
  static void Closed(const clap_host_t* host, bool)
  {
    From(host).Check("gui.closed", ClapHost::Rule::kAny);
  }

  static void LatencyChanged(const clap_host_t* host)
  {
    From(host).Check("latency.changed", ClapHost::Rule::kMain);
  }
  static void TailChanged(const clap_host_t* host)
  {
    ClapHost& self = From(host);
    self.Check("tail.changed", ClapHost::Rule::kAudio);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.tailChanges;
  }

  static bool RegisterTimer(const clap_host_t* host, uint32_t periodMs, clap_id* timerId)
  {
    ClapHost& self = From(host);
    self.Check("timer_support.register_timer", ClapHost::Rule::kMain);
    if (!timerId) return false;
    std::lock_guard<std::mutex> lock(self.mMutex);
    *timerId = self.mNextTimerId++;
    self.mTimers[*timerId] = periodMs;
    return true;
  }
  static bool UnregisterTimer(const clap_host_t* host, clap_id timerId)
  {
    ClapHost& self = From(host);
    self.Check("timer_support.unregister_timer", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    return self.mTimers.erase(timerId) == 1;
  }

  static bool RegisterFd(const clap_host_t* host, int fd, uint32_t flags)
  {
    ClapHost& self = From(host);
    self.Check("posix_fd_support.register_fd", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    return self.mFds.emplace(fd, flags).second;
  }
  static bool ModifyFd(const clap_host_t* host, int fd, uint32_t flags)
  {
    ClapHost& self = From(host);
    self.Check("posix_fd_support.modify_fd", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    auto found = self.mFds.find(fd);
    if (found == self.mFds.end()) return false;
    found->second = flags;
    return true;
  }
  static bool UnregisterFd(const clap_host_t* host, int fd)
  {
    ClapHost& self = From(host);
    self.Check("posix_fd_support.unregister_fd", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    return self.mFds.erase(fd) == 1;
  }

  static void PresetError(const clap_host_t* host, uint32_t, const char*, const char*, int32_t,
                          const char*)
  {
    ClapHost& self = From(host);
    self.Check("preset_load.on_error", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.presetErrors;
  }
  static void PresetLoaded(const clap_host_t* host, uint32_t, const char*, const char*)
  {
    ClapHost& self = From(host);
    self.Check("preset_load.loaded", ClapHost::Rule::kMain);
    std::lock_guard<std::mutex> lock(self.mMutex);
    ++self.mRecord.presetsLoaded;
  }

  static constexpr clap_host_thread_check_t kThreadCheck = {IsMainThread, IsAudioThread};
  static constexpr clap_host_log_t kLog = {Log};
  static constexpr clap_host_params_t kParams = {Rescan, Clear, RequestFlush};
  static constexpr clap_host_state_t kState = {MarkDirty};
  static constexpr clap_host_gui_t kGui = {ResizeHintsChanged, RequestResize, RequestShowHide,
                                           RequestShowHide, Closed};
  static constexpr clap_host_latency_t kLatency = {LatencyChanged};
  static constexpr clap_host_tail_t kTail = {TailChanged};
  static constexpr clap_host_timer_support_t kTimerSupport = {RegisterTimer, UnregisterTimer};
  static constexpr clap_host_posix_fd_support_t kPosixFdSupport = {RegisterFd, ModifyFd,
                                                                   UnregisterFd};
  static constexpr clap_host_preset_load_t kPresetLoad = {PresetError, PresetLoaded};
};

ClapHost::ClapHost(ClapHostOptions options)
    : mOptions(options), mMainThread(std::this_thread::get_id())
{
  mHost.clap_version = kClapVersion;
  mHost.host_data = this;
  mHost.name = "Thudwerk test host";
  mHost.vendor = "VornAudio";
  mHost.url = "";
  mHost.version = "1.0.0";
  mHost.get_extension = &ClapHost::GetExtension;
  mHost.request_restart = &ClapHost::RequestRestart;
  mHost.request_process = &ClapHost::RequestProcess;
  mHost.request_callback = &ClapHost::RequestCallback;
}

ClapHost::AudioThreadScope::AudioThreadScope(ClapHost& host) : mHost(host)
{
  mHost.mAudioThread.store(std::this_thread::get_id());
}

ClapHost::AudioThreadScope::~AudioThreadScope()
{
  mHost.mAudioThread.store(std::thread::id());
}

bool ClapHost::IsAudioThread() const
{
  return std::this_thread::get_id() == mAudioThread.load();
}

void ClapHost::Check(const char* call, Rule rule)
{
  std::string problem;
  if (mQuiet.load())
    problem = std::string(call) + " while the host expects no call";
  else if (rule == Rule::kMain && !IsMainThread())
    problem = std::string(call) + " off the main thread";
  else if (rule == Rule::kAudio && !IsAudioThread())
    problem = std::string(call) + " off the audio thread";
  else if (rule == Rule::kNotAudio && IsAudioThread())
    problem = std::string(call) + " on the audio thread";
  if (problem.empty()) return;
  std::lock_guard<std::mutex> lock(mMutex);
  mViolations.push_back(problem);
}

std::vector<std::string> ClapHost::Violations() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mViolations;
}

const void* ClapHost::GetExtension(const clap_host_t* host, const char* id)
{
  ClapHost& self = From(host);
  self.Check("get_extension", Rule::kAny);
  if (!id) return nullptr;
  using E = ClapHostExtensions;
  const std::pair<const char*, const void*> table[] = {
      {kClapExtThreadCheck, &E::kThreadCheck},
      {kClapExtLog, &E::kLog},
      {kClapExtParams, &E::kParams},
      {kClapExtState, &E::kState},
      {kClapExtGui, &E::kGui},
      {kClapExtLatency, &E::kLatency},
      {kClapExtTail, &E::kTail},
      {kClapExtTimerSupport, self.mOptions.timerSupport ? &E::kTimerSupport : nullptr},
      {kClapExtPosixFdSupport, self.mOptions.posixFdSupport ? &E::kPosixFdSupport : nullptr},
      {kClapExtPresetLoad, &E::kPresetLoad},
  };
  for (const auto& entry : table)
    if (std::strcmp(id, entry.first) == 0) return entry.second;
  return nullptr;
}

void ClapHost::RequestRestart(const clap_host_t* host)
{
  ClapHost& self = From(host);
  self.Check("request_restart", Rule::kAny);
  std::lock_guard<std::mutex> lock(self.mMutex);
  ++self.mRecord.restartRequests;
}

void ClapHost::RequestProcess(const clap_host_t* host)
{
  ClapHost& self = From(host);
  self.Check("request_process", Rule::kAny);
  std::lock_guard<std::mutex> lock(self.mMutex);
  ++self.mRecord.processRequests;
}

void ClapHost::RequestCallback(const clap_host_t* host)
{
  ClapHost& self = From(host);
  self.Check("request_callback", Rule::kAny);
  self.mCallbackRequested.store(true);
  std::lock_guard<std::mutex> lock(self.mMutex);
  ++self.mRecord.callbackRequests;
}

bool ClapHost::RunRequestedCallback()
{
  if (!mPlugin || !mCallbackRequested.exchange(false)) return false;
  mPlugin->on_main_thread(mPlugin);
  return true;
}

int ClapHost::FireTimers()
{
  if (!mPlugin) return 0;
  const auto* timers = static_cast<const clap_plugin_timer_support_t*>(
      mPlugin->get_extension(mPlugin, kClapExtTimerSupport));
  if (!timers) return 0;
  int fired = 0;
  for (const auto& timer : Timers())
  {
    timers->on_timer(mPlugin, timer.first);
    ++fired;
  }
  return fired;
}

void ClapHost::FireFd(int fd, uint32_t flags)
{
  if (!mPlugin) return;
  const auto* fds = static_cast<const clap_plugin_posix_fd_support_t*>(
      mPlugin->get_extension(mPlugin, kClapExtPosixFdSupport));
  if (fds) fds->on_fd(mPlugin, fd, flags);
}

std::map<clap_id, uint32_t> ClapHost::Timers() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mTimers;
}

std::map<int, uint32_t> ClapHost::Fds() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mFds;
}

ClapHost::Record ClapHost::GetRecord() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mRecord;
}

void ClapHost::ClearRecord()
{
  std::lock_guard<std::mutex> lock(mMutex);
  mRecord = Record();
}
