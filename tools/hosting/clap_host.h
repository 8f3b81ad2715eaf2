#pragma once

#include "clap_abi.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a test or render host offers besides the core services.
struct ClapHostOptions
{
  bool timerSupport = true;
  bool posixFdSupport = true;
  // The answer request_resize gives.
  bool acceptResize = true;
};

// A clap_host_t with the extensions a plug-in asks for: thread-check, log,
// params, state, gui, latency, tail, timer-support, posix-fd-support and
// preset-load. Every call is recorded; calls that break their thread rule
// (main-thread calls from another thread, audio-thread calls from a thread
// that does not hold the audio role) and any call while the host is quiet
// are recorded as violations.
//
// The main thread is the one that constructs the host. The audio role is
// held by the thread inside an AudioThreadScope.
class ClapHost
{
public:
  explicit ClapHost(ClapHostOptions options = {});
  ClapHost(const ClapHost&) = delete;
  ClapHost& operator=(const ClapHost&) = delete;

  const clap_host_t* Host() const { return &mHost; }
  // The plug-in timers, descriptors and main-thread callbacks go to.
  void SetPlugin(const clap_plugin_t* plugin) { mPlugin = plugin; }

  // Gives the calling thread the audio role for the scope's lifetime.
  class AudioThreadScope
  {
  public:
    explicit AudioThreadScope(ClapHost& host);
    ~AudioThreadScope();
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;

  private:
    ClapHost& mHost;
  };
  bool IsMainThread() const { return std::this_thread::get_id() == mMainThread; }
  bool IsAudioThread() const;

  // While quiet, any call of the plug-in into the host is a violation
  // (create_plugin must make none).
  void SetQuiet(bool quiet) { mQuiet = quiet; }
  // Broken thread rules and calls while quiet, one line each.
  std::vector<std::string> Violations() const;

  // Main thread: the plug-in's on_main_thread when it asked for a callback;
  // true when it ran.
  bool RunRequestedCallback();
  // Main thread: on_timer for every registered timer; how many fired.
  int FireTimers();
  // Main thread: on_fd for a registered descriptor.
  void FireFd(int fd, uint32_t flags);
  std::map<clap_id, uint32_t> Timers() const;
  std::map<int, uint32_t> Fds() const;

  // What the plug-in asked for so far.
  struct Record
  {
    int rescans = 0;
    uint32_t rescanFlags = 0;
    int flushRequests = 0;
    int callbackRequests = 0;
    int restartRequests = 0;
    int processRequests = 0;
    int dirtyMarks = 0;
    int tailChanges = 0;
    int resizeRequests = 0;
    uint32_t resizeWidth = 0;
    uint32_t resizeHeight = 0;
    int presetsLoaded = 0;
    int presetErrors = 0;
    std::vector<std::string> logs;
  };
  Record GetRecord() const;
  void ClearRecord();

private:
  // Checks the thread rule and quietness of a call, by name.
  enum class Rule
  {
    kAny,
    kMain,
    kAudio,
    kNotAudio,
  };
  void Check(const char* call, Rule rule);
  static ClapHost& From(const clap_host_t* host);

  static const void* GetExtension(const clap_host_t* host, const char* id);
  static void RequestRestart(const clap_host_t* host);
  static void RequestProcess(const clap_host_t* host);
  static void RequestCallback(const clap_host_t* host);

  friend struct ClapHostExtensions;

  ClapHostOptions mOptions;
  clap_host_t mHost;
  std::thread::id mMainThread;
  std::atomic<std::thread::id> mAudioThread{};
  std::atomic<bool> mQuiet{false};
  std::atomic<bool> mCallbackRequested{false};
  const clap_plugin_t* mPlugin = nullptr;
  mutable std::mutex mMutex;
  Record mRecord;
  std::vector<std::string> mViolations;
  std::map<clap_id, uint32_t> mTimers;
  clap_id mNextTimerId = 1;
  std::map<int, uint32_t> mFds;
};
