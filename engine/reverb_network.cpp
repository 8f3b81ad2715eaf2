#include "reverb_network.h"

#include "delay_lanes.h"

#include <cmath>

namespace
{
constexpr double kLineSeconds[kReverbLineCount] = {1,    1,   1,    1,    1,   0.125,
                                                   0.25, 0.5, 0.25, 0.25, 0.5, 0.25};

double PowerOfDecay(double decay, double samples)
{
  return ZeroNonFinite(std::pow(decay, samples));
}

int32_t LargestLineSize(const ReverbState& r)
{
  int32_t largest = 0;
  for (const DelayLine& line : r.lines)
    largest = line.size > largest ? line.size : largest;
  return largest;
}
} // namespace

double ReverbLineSeconds(int line)
{
  return kLineSeconds[line];
}

ReverbGeometry ComputeReverbGeometry(double sampleRate)
{
  // One sample's share of a 60 dB decay over 10.05 s.
  const double decay = ZeroNonFinite(std::pow(0.001, 1 / (10.05 * sampleRate)));
  // 75/340 of a second.
  const double base = sampleRate * 75 * 0.0029411764705882;
  const double spread = std::trunc(base * 0.000527);

  ReverbGeometry g{};
  g.feedbackDelay[0] = base;
  g.feedbackDelay[1] = 0.7071 * base;
  g.feedbackDelay[2] = 0.81649 * base;
  g.feedbackDelay[3] = 0.63245 * base;
  for (int k = 0; k < 4; ++k)
    g.feedbackGain[k] = -PowerOfDecay(decay, g.feedbackDelay[k]);
  g.tapDelay[0] = 0.41 * base + 5;
  g.tapDelay[1] = 0.155 * base + 5;
  g.tapDelay[2] = 0.3 * base + 5;
  g.tapDelay[3] = base + 5;
  for (int k = 0; k < 4; ++k)
    g.tapGain[k] = PowerOfDecay(decay, g.tapDelay[k]);
  g.diffuserDelay = 0.110732 * base;
  g.leftDelay[0] = 165.27705 * spread;
  g.leftDelay[1] = 574.5541 * spread;
  g.leftDelay[2] = 391.16885 * spread;
  g.rightDelay[0] = 130.5817 * spread;
  g.rightDelay[1] = 571.39605 * spread;
  g.rightDelay[2] = 429.02225 * spread;
  return g;
}

namespace
{
// The feedback, tap and diffuser reads of a sample, limited to their lines,
// two lanes each. Only the first sample after a reset may read a delay below
// 1, so the limits are worked out again after a run's first sample.
struct ReverbReads
{
  __m128d feedback[2];
  __m128d tap[2];
  double diffuser;
};

ReverbReads LimitReads(const ReverbState& r, const ReverbGeometry& g)
{
  ReverbReads reads{};
  for (int pair = 0; pair < 2; ++pair)
  {
    const int k = 2 * pair;
    reads.feedback[pair] = DelayLimitLanes(r.lines[kFeedback1 + k], r.lines[kFeedback2 + k],
                                           g.feedbackDelay[k], g.feedbackDelay[k + 1]);
    reads.tap[pair] =
        DelayLimitLanes(r.lines[kTapLine], r.lines[kTapLine], g.tapDelay[k], g.tapDelay[k + 1]);
  }
  reads.diffuser = DelayLimit(r.lines[kDiffuser], g.diffuserDelay);
  return reads;
}

double Lane(__m128d v, int lane)
{
  return _mm_cvtsd_f64(lane == 0 ? v : _mm_unpackhi_pd(v, v));
}

// The gains of the feedback lines and the taps, in lane order.
struct NetworkGains
{
  __m128d feedback[2];
  __m128d tap[2];
};

NetworkGains LoadGains(const ReverbGeometry& g)
{
  return {{_mm_loadu_pd(&g.feedbackGain[0]), _mm_loadu_pd(&g.feedbackGain[2])},
          {_mm_loadu_pd(&g.tapGain[0]), _mm_loadu_pd(&g.tapGain[2])}};
}

// The feedback lines and the tap line all last one second of the creation
// rate, so they have one size, and they are written and advanced together
// at every sample (and cleared together), so they share their positions.
// The run keeps that position, and the diffuser's, in registers.
class FeedbackRun
{
public:
  explicit FeedbackRun(ReverbState& r)
      : mState(r), mDiffuser(r.lines[kDiffuser]), mMask(r.lines[kTapLine].mask),
        mSize(r.lines[kTapLine].size), mPosition(r.lines[kTapLine].readPos),
        mInputHistory(r.inputHistory)
  {
    for (int k = 0; k < 4; ++k)
      mFeedback[k] = r.lines[kFeedback1 + k].storage;
    mTap = r.lines[kTapLine].storage;
    mDamping[0] = _mm_loadu_pd(&r.damping[0]);
    mDamping[1] = _mm_loadu_pd(&r.damping[2]);
  }

  // Input, feedback lines, taps and diffuser for one sample; returns the
  // tail that feeds the allpasses. Values written into lines and histories
  // are flushed. The four feedback lines and the four taps go two at a time.
  double Sample(const NetworkGains& gains, const ReverbReads& reads, double x)
  {
    const double in = (x + x) * 0.707;
    // A one-pole with coefficient 0: the input passes unchanged.
    mInputHistory = FlushDenormal((mInputHistory - in) * 0 + in);

    const __m128d base = _mm_set1_pd(static_cast<double>(mSize + mPosition));
    __m128d q[2];
    __m128d taps[2];
    for (int pair = 0; pair < 2; ++pair)
    {
      const __m128d out = ReadLanesAt(mFeedback[2 * pair], mMask, mFeedback[2 * pair + 1], mMask,
                                      base, reads.feedback[pair]);
      const __m128d weighted = _mm_mul_pd(out, gains.feedback[pair]);
      q[pair] =
          _mm_add_pd(_mm_mul_pd(_mm_sub_pd(mDamping[pair], weighted), _mm_set1_pd(0.99)), weighted);
      mDamping[pair] = FlushDenormalLanes(q[pair]);
    }
    for (int pair = 0; pair < 2; ++pair)
      taps[pair] =
          _mm_mul_pd(ReadLanesAt(mTap, mMask, mTap, mMask, base, reads.tap[pair]), gains.tap[pair]);

    // Lanes (q1 + q3, q2 + q4) and (q1 - q3, q2 - q4).
    const __m128d sum = _mm_add_pd(q[1], q[0]);
    const __m128d difference = _mm_sub_pd(q[0], q[1]);
    const double sum13 = Lane(sum, 0), sum24 = Lane(sum, 1);
    const double difference13 = Lane(difference, 0), difference24 = Lane(difference, 1);
    const double a = (sum13 - sum24) / 2;
    const double b = (sum24 + sum13) / 2;
    const double c = (difference13 - difference24) / 2;
    const double d = -(difference24 + difference13) / 2;
    // FB1 and FB2 take a and d, FB3 and FB4 take c and b.
    const __m128d written12 = FlushDenormalLanes(_mm_add_pd(_mm_set_pd(d, a), taps[0]));
    const __m128d written34 = FlushDenormalLanes(_mm_add_pd(_mm_set_pd(b, c), taps[1]));
    mFeedback[0][mPosition] = Lane(written12, 0);
    mFeedback[1][mPosition] = Lane(written12, 1);
    mFeedback[2][mPosition] = Lane(written34, 0);
    mFeedback[3][mPosition] = Lane(written34, 1);

    const double diffused = DelayReadLimited(mDiffuser, reads.diffuser);
    const double wd = in - 0.75 * diffused;
    DelayWrite(mDiffuser, FlushDenormal(wd));
    DelayAdvance(mDiffuser);
    mTap[mPosition] = FlushDenormal(0.75 * wd + diffused);
    mPosition = (mPosition + 1) & mMask;
    mWritten = true;
    return 0.25 * (d + a - c - b) + x;
  }

  // Hands the positions and histories back to the state: after a sample,
  // each shared line was last written one position before where it reads.
  void Store()
  {
    mState.inputHistory = mInputHistory;
    _mm_storeu_pd(&mState.damping[0], mDamping[0]);
    _mm_storeu_pd(&mState.damping[2], mDamping[1]);
    if (!mWritten) return;
    for (int line = kFeedback1; line <= kTapLine; ++line)
    {
      mState.lines[line].readPos = mPosition;
      mState.lines[line].writePos = (mPosition - 1) & mMask;
    }
    mState.lines[kDiffuser] = mDiffuser;
  }

private:
  ReverbState& mState;
  DelayLine mDiffuser;
  double* mFeedback[4];
  double* mTap;
  const int32_t mMask;
  const int32_t mSize;
  int32_t mPosition;
  double mInputHistory;
  __m128d mDamping[2];
  bool mWritten = false;
};

constexpr double kAllpassCoefs[3] = {0.75, 0.625, 0.625};

// One allpass sample on line D: o = D.read(n); w = input - k × o; D ← w;
// output k × w + o.
double AllpassSample(DelayLine& line, double limited, double coef, double input)
{
  const double out = DelayReadLimited(line, limited);
  const double w = input - coef * out;
  DelayWrite(line, FlushDenormal(w));
  DelayAdvance(line);
  return coef * w + out;
}

// One allpass over a run of samples, in place. Each allpass line is used by
// its own stage only, so the stages can run one after the other. Within a
// stage two neighbouring samples go together when the second cannot read
// what the first writes (a delay of 3 or more) and the pair does not wrap
// around the ring.
void AllpassRun(DelayLine& shared, double delay, double coef, double* signal, int count)
{
  if (count <= 0) return;
  DelayLine line = shared;
  signal[0] = AllpassSample(line, DelayLimit(line, delay), coef, signal[0]);
  // Only a reset's first sample may read a shorter delay.
  const double limited = DelayLimit(line, delay);
  const bool pairs = limited >= 3.0;
  const __m128d limitedLanes = _mm_set1_pd(limited);
  const __m128d k = _mm_set1_pd(coef);
  int i = 1;
  while (i < count)
  {
    if (!pairs || i + 1 == count || line.readPos + 1 == line.size)
    {
      signal[i] = AllpassSample(line, limited, coef, signal[i]);
      ++i;
      continue;
    }
    const __m128d out = ReadNeighboursAt(line, limitedLanes);
    const __m128d w = _mm_sub_pd(_mm_loadu_pd(signal + i), _mm_mul_pd(k, out));
    _mm_storeu_pd(line.storage + line.readPos, FlushDenormalLanes(w));
    line.writePos = line.readPos + 1;
    line.readPos = (line.readPos + 2) & line.mask;
    _mm_storeu_pd(signal + i, _mm_add_pd(_mm_mul_pd(k, w), out));
    i += 2;
  }
  shared = line;
}

// Feedback network and diffuser first, then each allpass, each stage over
// the whole run: every line keeps its own order of reads and writes, and
// with it every value.
void RunSwitchedOn(ReverbState& state, const ReverbGeometry& g, const double* dry, double* left,
                   double* right, int count)
{
  // A local copy the compiler can keep in registers: the line storage could
  // alias the histories as far as it knows.
  ReverbState r = state;
  const NetworkGains gains = LoadGains(g);
  ReverbReads reads = LimitReads(r, g);
  FeedbackRun network(r);
  for (int i = 0; i < count; ++i)
  {
    left[i] = network.Sample(gains, reads, dry[i]);
    if (i == 0)
    {
      network.Store();
      reads = LimitReads(r, g);
    }
  }
  network.Store();
  for (int i = 0; i < count; ++i)
    right[i] = left[i];
  for (int k = 0; k < 3; ++k)
  {
    AllpassRun(r.lines[kLeftAllpass1 + k], g.leftDelay[k], kAllpassCoefs[k], left, count);
    AllpassRun(r.lines[kRightAllpass1 + k], g.rightDelay[k], kAllpassCoefs[k], right, count);
  }
  for (int i = 0; i < count; ++i)
  {
    left[i] = 0.5 * left[i] + 0.5 * dry[i];
    right[i] = 0.5 * right[i] + 0.5 * dry[i];
  }
  state = r;
}

// Keeps track of whether every line is known to hold only zeros. Runs of the
// network may write anything.
void NoteRun(ReverbState& r, bool networkOn, int frames)
{
  if (networkOn)
  {
    r.linesClear = false;
    r.zeroWriteRun = 0;
    return;
  }
  if (frames > 0) r.zeroWriteRun += frames;
  // Each line is written once per sample at successive positions, so after
  // as many zero writes as its size every slot holds 0.
  if (r.zeroWriteRun >= LargestLineSize(r)) r.linesClear = true;
}
} // namespace

void ReverbNetwork(ReverbState& r, const ReverbGeometry& g, bool networkOn, const double* dry,
                   double* left, double* right, int count)
{
  if (!networkOn)
  {
    ReverbSilentBlock(r, count);
    for (int i = 0; i < count; ++i)
    {
      left[i] = dry[i];
      right[i] = dry[i];
    }
    return;
  }
  RunSwitchedOn(r, g, dry, left, right, count);
  NoteRun(r, true, count);
}

void ReverbClear(ReverbState& r)
{
  for (DelayLine& line : r.lines)
    DelayLineClear(line);
  r.inputHistory = 0.0;
  for (double& history : r.damping)
    history = 0.0;
  r.linesClear = true;
  r.zeroWriteRun = 0;
}

bool ReverbAtRest(const ReverbState& r)
{
  if (!r.linesClear || !IsPositiveZero(r.inputHistory)) return false;
  for (double history : r.damping)
    if (!IsPositiveZero(history)) return false;
  return true;
}

void ReverbSilentBlock(ReverbState& r, int frames)
{
  for (DelayLine& line : r.lines)
    DelayLineWriteZeros(line, frames, r.linesClear);
  if (frames > 0)
  {
    r.inputHistory = 0.0;
    for (double& history : r.damping)
      history = 0.0;
  }
  NoteRun(r, false, frames);
}
