// clap.state: the same bytes as the VST 3 state (the state chunk, then the
// bypass flag as a little-endian int32), through streams that may move a
// single byte per call. Main thread; the streams are read and written
// outside the instance lock.

#include "iplug_clap.h"

#include <cmath>

namespace
{
bool WriteAll(const clap_ostream_t* stream, const unsigned char* bytes, int count)
{
  int total = 0;
  while (total < count)
  {
    const int64_t written =
        stream->write(stream, bytes + total, static_cast<uint64_t>(count - total));
    if (written <= 0 || written > count - total) return false;
    total += static_cast<int>(written);
  }
  return true;
}

// Reads until count bytes arrived or the stream ends; how many arrived, or
// -1 on a stream error.
int64_t ReadUpTo(const clap_istream_t* stream, unsigned char* bytes, int64_t count)
{
  int64_t total = 0;
  while (total < count)
  {
    const int64_t read = stream->read(stream, bytes + total, static_cast<uint64_t>(count - total));
    if (read < 0 || read > count - total) return -1;
    if (read == 0) break;
    total += read;
  }
  return total;
}

bool StateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
  IPlugCLAP* self = IPlugCLAP::From(plugin);
  if (!stream || !stream->write) return false;
  ByteChunk chunk;
  {
    CriticalSectionLock lock(self->GetLock());
    if (!self->SaveStateChunk(chunk) || !chunk.PutInt32(self->IsBypassed() ? 1 : 0)) return false;
  }
  const bool written = WriteAll(stream, chunk.GetBytes(), chunk.Size());
  self->SendPendingHostNotifications();
  return written;
}

// State from elsewhere is checked whole before anything changes: exactly
// the size of a saved state, every value a finite number inside its
// parameter's range (as every save writes them) and a bypass word of 0 or 1.
bool IsSavedState(IPlugCLAP& plug, const ByteChunk& chunk)
{
  const int size = chunk.Size();
  for (int i = 0; i < plug.ParamCount(); ++i)
  {
    double value = 0.0;
    if (ReadDoubleAt(chunk.GetBytes(), size, i * 8, &value) < 0 || !std::isfinite(value))
      return false;
    const IPlugParam* param = plug.GetParam(i);
    if (value < param->Min() || value > param->Max()) return false;
  }
  int32_t bypass = -1;
  ReadInt32At(chunk.GetBytes(), size, size - 4, &bypass);
  return bypass == 0 || bypass == 1;
}

bool StateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream)
{
  IPlugCLAP* self = IPlugCLAP::From(plugin);
  if (!stream || !stream->read) return false;
  int expected = 0;
  {
    CriticalSectionLock lock(self->GetLock());
    ByteChunk current;
    if (self->SaveStateChunk(current)) expected = current.Size() + 4;
  }
  ByteChunk chunk;
  // One byte more than a state tells a longer stream, which is not a state.
  if (expected <= 4 || !chunk.Resize(expected + 1)) return false;
  if (ReadUpTo(stream, chunk.GetBytes(), expected + 1) != expected) return false;
  chunk.Resize(expected);
  if (!IsSavedState(*self, chunk)) return false;
  {
    CriticalSectionLock lock(self->GetLock());
    if (self->LoadStateChunk(chunk, 0) < 0) return false;
    int32_t bypass = 0;
    ReadInt32At(chunk.GetBytes(), chunk.Size(), expected - 4, &bypass);
    self->SetBypassed(bypass != 0);
    self->RefreshParamControls();
  }
  self->SendPendingHostNotifications();
  if (const auto* params = self->HostExtension<clap_host_params_t>(kClapExtParams))
    params->rescan(self->Host(), kClapParamRescanValues);
  return true;
}
} // namespace

const clap_plugin_state_t IPlugCLAP::kStateExtension = {StateSave, StateLoad};
