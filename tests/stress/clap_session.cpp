// The CLAP plug-in behind the stress session interface, driven by the
// project's CLAP host. Process runs in the host's audio role; state and
// parameter reads are the host's main-thread calls. Values a host sets from
// its user interface reach the plug-in as events of the next block, as CLAP
// hosts hand them over.

#include "stress_sessions.h"

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"
#include "clap_streams.h"

#include <algorithm>
#include <mutex>

namespace
{
constexpr int kLargestBlock = 4096;

// A message or value for the next block, from any thread.
struct PendingEvent
{
  bool midi;
  uint32_t time;
  MidiBytes message;
  clap_id param;
  double value;
  void* cookie;
};

class ClapSession : public StressSession
{
public:
  ClapSession(bool single, const clap_plugin_entry_t& entry) : mEntry(entry), mSingle(single)
  {
    mInstance = ClapInstance::CreateLinked(mEntry, mHost, nullptr);
    if (!mInstance) return;
    mParams = mInstance->Get<clap_plugin_params_t>(kClapExtParams);
    mState = mInstance->Get<clap_plugin_state_t>(kClapExtState);
    if (!mParams || !mState) return;
    for (uint32_t i = 0; i < mParams->count(mInstance->Plugin()); ++i)
    {
      clap_param_info_t info{};
      if (mParams->get_info(mInstance->Plugin(), i, &info)) mInfo.push_back(info);
    }
    Restart(44100.0, kLargestBlock);
  }
  ~ClapSession() override
  {
    if (!mInstance) return;
    mInstance.reset();
    mEntry.deinit();
  }
  bool Ready() const { return mReady; }

  void Restart(double sampleRate, int maxBlock) override
  {
    mInstance->StopProcessing();
    mInstance->Deactivate();
    mReady = mInstance->Activate(sampleRate, 1, uint32_t(maxBlock)) && mInstance->StartProcessing();
  }
  void Automate(int param, double normalized) override
  {
    const auto info = std::find_if(mInfo.begin(), mInfo.end(),
                                   [&](const clap_param_info_t& i) { return int(i.id) == param; });
    // An id the plug-in does not have goes as it is, with no cookie.
    const bool known = info != mInfo.end();
    Queue({false,
           0,
           {},
           clap_id(param),
           known ? info->min_value + normalized * (info->max_value - info->min_value) : normalized,
           known ? info->cookie : nullptr});
  }
  // A host's own control moved: the plug-in hears of it in the next block,
  // and the host reads back the text the plug-in now shows for it.
  void SetFromUserInterface(int param, double normalized) override
  {
    Automate(param, normalized);
    double value = 0.0;
    char text[256] = {};
    if (mParams->get_value(mInstance->Plugin(), clap_id(param), &value))
      mParams->value_to_text(mInstance->Plugin(), clap_id(param), value, text, sizeof(text));
  }
  void* PlugObject() override { return mInstance->Plugin()->plugin_data; }
  // CLAP has no host bypass: a host simply stops calling the plug-in.
  void SetBypass(bool) override {}
  void QueueMidi(const MidiBytes& m) override
  {
    Queue({true, uint32_t(std::max(0, m.offset)), m, 0, 0.0, nullptr});
  }
  void Process(int frames) override
  {
    std::vector<PendingEvent> pending;
    {
      const std::lock_guard<std::mutex> lock(mQueueLock);
      pending.swap(mQueued);
    }
    // Within the block and ordered by time, as CLAP requires.
    const uint32_t last = uint32_t(std::max(0, frames - 1));
    std::stable_sort(pending.begin(), pending.end(),
                     [](const PendingEvent& a, const PendingEvent& b) { return a.time < b.time; });
    mEvents.Clear();
    for (const PendingEvent& e : pending)
    {
      if (e.midi)
        mEvents.AddMidi(std::min(e.time, last), e.message.status, e.message.data1, e.message.data2);
      else
      {
        clap_event_param_value_t event = ClapParamValueEvent(e.param, e.value, e.cookie);
        event.header.time = std::min(e.time, last);
        mEvents.Add(event.header);
      }
    }
    if (mSingle)
      mInstance->Process(uint32_t(frames), mFloat[0], mFloat[1], mEvents, mOutputs);
    else
      mInstance->Process(uint32_t(frames), mDouble[0], mDouble[1], mEvents, mOutputs);
    mOutputs.Clear();
    for (int c = 0; c < 2; ++c)
      mSingle ? Check(mFloat[c], frames) : Check(mDouble[c], frames);
  }
  // Streams that move a few bytes a call, as some hosts' do.
  std::vector<char> SaveState() override
  {
    ClapOStream stream(7);
    if (!mState->save(mInstance->Plugin(), stream.Stream())) return {};
    return std::vector<char>(stream.Bytes().begin(), stream.Bytes().end());
  }
  bool RestoreState(const std::vector<char>& state) override
  {
    ClapIStream stream(std::vector<uint8_t>(state.begin(), state.end()), 5);
    return mState->load(mInstance->Plugin(), stream.Stream());
  }

private:
  void Queue(const PendingEvent& event)
  {
    const std::lock_guard<std::mutex> lock(mQueueLock);
    mQueued.push_back(event);
  }

  const clap_plugin_entry_t& mEntry;
  bool mSingle;
  ClapHost mHost;
  std::unique_ptr<ClapInstance> mInstance;
  const clap_plugin_params_t* mParams = nullptr;
  const clap_plugin_state_t* mState = nullptr;
  std::vector<clap_param_info_t> mInfo;
  bool mReady = false;
  std::mutex mQueueLock;
  std::vector<PendingEvent> mQueued; // any thread's, under mQueueLock
  ClapInputEvents mEvents;           // the audio thread's
  ClapOutputEvents mOutputs;
  float mFloat[2][kLargestBlock] = {};
  double mDouble[2][kLargestBlock] = {};
};
} // namespace

std::unique_ptr<StressSession> OpenClapSession(bool singlePrecision,
                                               const clap_plugin_entry_t& entry)
{
  auto session = std::make_unique<ClapSession>(singlePrecision, entry);
  return session->Ready() ? std::move(session) : nullptr;
}
