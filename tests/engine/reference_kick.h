#pragma once

// A plain, unoptimised transcription of the kick voice, the distortion, the
// reverb and the output gain, written step by step from their definitions.
// The engine must match it bit for bit.

#include "kick_engine.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace reference
{
inline double Flush(double x)
{
  return (x != 0.0 && std::fabs(x) < std::ldexp(1.0, -1021)) ? 0.0 : x;
}

inline double ZeroIfHuge(double x)
{
  return (!std::isfinite(x) || std::fabs(x) >= std::ldexp(1.0, 1023)) ? 0.0 : x;
}

inline double Limit(double x, double lo, double hi)
{
  return x < lo ? lo : (x > hi ? hi : x);
}

class Line
{
public:
  explicit Line(double length) : maxDelay(static_cast<int>(length)), size(2)
  {
    while (size < maxDelay)
      size *= 2;
    data.assign(static_cast<size_t>(size), 0.0);
  }
  double Read(double d) const
  {
    const double lo = readPos != writePos ? 1.0 : 0.0;
    d = d < lo ? lo : d;
    d = d > maxDelay ? maxDelay : d;
    const double x = (size + readPos) - d;
    const int i = static_cast<int>(std::trunc(x));
    const double f = x - i;
    const double a = data[static_cast<size_t>(i % size)];
    const double b = data[static_cast<size_t>((i + 1) % size)];
    return a + (b - a) * f;
  }
  void Write(double v)
  {
    writePos = readPos;
    data[static_cast<size_t>(readPos)] = v;
  }
  void Advance() { readPos = (readPos + 1) % size; }

private:
  int maxDelay;
  int size;
  int readPos = 0;
  int writePos = 0;
  std::vector<double> data;
};

class Reverb
{
public:
  // `creationRate` sizes the lines, `rate` sets the geometry.
  Reverb(double creationRate, double rate)
  {
    const double seconds[12] = {1, 1, 1, 1, 1, 0.125, 0.25, 0.5, 0.25, 0.25, 0.5, 0.25};
    for (double k : seconds)
      lines.emplace_back(std::trunc(creationRate * k));
    g = ZeroIfHuge(std::pow(0.001, 1 / (10.05 * rate)));
    L = rate * 75 * 0.0029411764705882;
    spread = std::trunc(L * 0.000527);
  }

  // Returns left and right for one input sample; `on` is rev != 0.
  void Run(double x, bool on, double& left, double& right)
  {
    if (!on)
    {
      for (Line& line : lines)
        line.Write(0.0);
      h0 = h1 = h2 = h3 = h4 = 0.0;
      left = right = x;
    }
    else
    {
      const double in = (x + x) * 0.707;
      h0 = Flush((h0 - in) * 0 + in);
      const double fbDelay[4] = {L, 0.7071 * L, 0.81649 * L, 0.63245 * L};
      double* histories[4] = {&h1, &h2, &h3, &h4};
      double q[4];
      for (int k = 0; k < 4; ++k)
      {
        const double G = -ZeroIfHuge(std::pow(g, fbDelay[k]));
        const double o = lines[static_cast<size_t>(k)].Read(fbDelay[k]);
        q[k] = (*histories[k] - o * G) * 0.99 + o * G;
        *histories[k] = Flush(q[k]);
      }
      const double tapDelay[4] = {0.41 * L + 5, 0.155 * L + 5, 0.3 * L + 5, L + 5};
      double t[4];
      for (int k = 0; k < 4; ++k)
        t[k] = lines[4].Read(tapDelay[k]) * ZeroIfHuge(std::pow(g, tapDelay[k]));
      const double q1 = q[0], q2 = q[1], q3 = q[2], q4 = q[3];
      const double a = ((q3 + q1) - (q4 + q2)) / 2;
      const double b = ((q4 + q2) + (q3 + q1)) / 2;
      const double c = ((q1 - q3) - (q2 - q4)) / 2;
      const double d = -((q2 - q4) + (q1 - q3)) / 2;
      lines[0].Write(Flush(a + t[0]));
      lines[1].Write(Flush(d + t[1]));
      lines[2].Write(Flush(c + t[2]));
      lines[3].Write(Flush(b + t[3]));
      const double o = lines[5].Read(0.110732 * L);
      const double wd = in - 0.75 * o;
      lines[5].Write(Flush(wd));
      lines[4].Write(Flush(0.75 * wd + o));
      const double tail = 0.25 * (d + a - c - b) + x;
      const double leftDelays[3] = {165.27705 * spread, 574.5541 * spread, 391.16885 * spread};
      const double rightDelays[3] = {130.5817 * spread, 571.39605 * spread, 429.02225 * spread};
      const double coefs[3] = {0.75, 0.625, 0.625};
      double yL = tail;
      double yR = tail;
      for (int k = 0; k < 3; ++k)
      {
        yL = Allpass(lines[static_cast<size_t>(6 + k)], leftDelays[k], coefs[k], yL);
        yR = Allpass(lines[static_cast<size_t>(9 + k)], rightDelays[k], coefs[k], yR);
      }
      left = 0.5 * yL + 0.5 * x;
      right = 0.5 * yR + 0.5 * x;
    }
    for (Line& line : lines)
      line.Advance();
  }

private:
  static double Allpass(Line& line, double n, double k, double input)
  {
    const double o = line.Read(n);
    const double w = input - k * o;
    line.Write(Flush(w));
    return k * w + o;
  }

  std::vector<Line> lines;
  double g, L, spread;
  double h0 = 0, h1 = 0, h2 = 0, h3 = 0, h4 = 0;
};

enum Stage
{
  kIdle,
  kAttack,
  kDecay,
  kDone,
  kRelease
};

struct Generator
{
  double hold = 0, prevToken = 0, prevGate = 0;
  Stage stage = kIdle;
  double h = 0, m = 0, a0 = 0, r = 0, f = 0, phase = 0;
};

class Kick
{
public:
  Kick(double creationRate, double rate) : sr(rate), reverb(creationRate, rate)
  {
    for (int j = 0; j < 16384; ++j)
      table[j] = std::cos(j * 3.141592653589793 * 2 / 16384);
    // Reset values of the parameters this reference reads.
    p[EngineParam::BassAmpLevel] = 1.0;
    p[EngineParam::BassEnvDecay] = 0.5;
    p[EngineParam::MainVolume] = 0.8;
    p[EngineParam::SnapAmpLevel] = 1.0;
    p[EngineParam::Voice00_NoteVelocity] = 64.0;
  }

  // In-range values only: limiting on entry is tested elsewhere.
  void Set(int index, double value) { p[index] = value; }

  void Block(int frames, std::vector<double>& left, std::vector<double>& right)
  {
    // Velocity latch.
    const double g5 = p[EngineParam::Voice00_NoteGate] - 0.5;
    if (prevG5 <= 0 && g5 > 0)
      heldVelocity = Limit(p[EngineParam::Voice00_NoteVelocity] * 0.00787, 0, 1);
    prevG5 = g5;

    const double bassLevel = P(EngineParam::BassAmpLevel);
    const double snapLevel = P(EngineParam::SnapAmpLevel);
    const double bassPeak = 50 + 450 * P(EngineParam::BassPitchAmt);
    const double snapPeak = 1000 + 4000 * P(EngineParam::SnapPitchAmt);
    const double a = 0.1 * P(EngineParam::BassEnvAttack);
    const double bassAttack = 10 * Limit(a * a, 0.0001, 1);
    const double bd = 0.01 + 0.49 * P(EngineParam::BassEnvDecay);
    const double bassDecay = 10 * Limit(bd * bd, 0.0001, 1);
    const double sd = 0.01 + 0.15 * P(EngineParam::SnapEnvDecay);
    const double snapDecay = 10 * Limit(sd * sd, 0.0001, 1);
    holdSamples = std::trunc(sr * 0.001);
    fallCoef = 1 / std::max(std::fabs(sr * 0.001), 1.0);
    const double velGain = (heldVelocity - 1) * P(EngineParam::VelAmpOffOn) + 1;

    const double load = P(EngineParam::TransistorDistLoad);
    const double distOn = load > 0 ? 1 : 0;
    const double d3 = ZeroIfHuge(std::pow(load, 3.0));
    drive1 = 4 * d3 + 1;
    drive2 = 7.846 * d3 + 1.154;
    norm = std::tanh(drive2);
    outScale = 0.9 - 0.2 * ZeroIfHuge(std::pow(d3, 0.45));
    const double rev = P(EngineParam::ReverbOffOn);
    const double revBoost = 1 + 0.5 * rev;
    const double revSelect = std::trunc(rev + 1);
    const double mainVol = P(EngineParam::MainVolume);

    for (int i = 0; i < frames; ++i)
    {
      const double uB = Voice(bass, bassAttack, bassDecay, bassPeak);
      const double yB = Shaper(uB);
      const double bassOut = (uB + (yB - uB) * distOn) * bassLevel;
      const double uS = Voice(snap, 0.001, snapDecay, snapPeak);
      const double dry = (uS * snapLevel + bassOut) * 0.5;
      double wetL = 0;
      double wetR = 0;
      reverb.Run(dry, rev != 0, wetL, wetR);
      const double outL = revSelect >= 2 ? wetL : dry;
      const double outR = revSelect >= 2 ? wetR : dry;
      left.push_back(Limit(outL * revBoost * velGain * mainVol, -1.2, 1.2));
      right.push_back(Limit(outR * revBoost * velGain * mainVol, -1.2, 1.2));
    }
  }

private:
  double P(int index) const { return Limit(p[index], 0, 1); }

  double Step(double T) const { return T * sr == 0 ? 0 : 1 / (T * sr); }

  double Envelope(Generator& s, double g, double attackTime, double decayTime)
  {
    const double attackLen = attackTime * (1 - s.a0);
    const double releaseLen = decayTime * s.r;
    const double edge = g - s.prevGate;
    s.prevGate = g;
    bool toRelease = false;
    if (edge == 1)
    {
      s.h = 0;
      s.stage = kAttack;
      s.a0 = 0;
    }
    else if (edge == -1)
    {
      s.h = 0;
      s.stage = kRelease;
      s.r = s.m;
      toRelease = true;
    }
    if (!toRelease)
    {
      if (s.stage == kAttack)
      {
        s.h = s.h + Step(attackLen);
        if (s.h > 1)
        {
          s.h = 0;
          s.stage = kDecay;
        }
        else
          s.m = (1 - s.a0) * std::pow(s.h, 2.001) + s.a0;
      }
      if (s.stage == kDecay)
      {
        s.h = s.h + Step(decayTime);
        if (s.h > 1)
        {
          s.m = 0;
          s.h = 0;
          s.stage = kDone;
        }
        else
          s.m = std::pow(1 - s.h, 2.001);
      }
      if (s.stage == kDone)
      {
        s.m = 0;
        s.h = 0;
      }
      if (s.stage != kRelease) return s.m;
      s.m = s.r;
    }
    s.h = s.h + Step(releaseLen);
    const double v = ZeroIfHuge(std::pow(1 - s.h, 2.001));
    if (s.h > 3)
    {
      s.stage = kIdle;
      s.h = 0;
      s.m = 0;
    }
    else
      s.m = s.r * v;
    return s.m;
  }

  double Voice(Generator& s, double attackTime, double decayTime, double peakHz)
  {
    const double t = p[EngineParam::Voice00_NoteRetrig];
    if (t != s.prevToken) s.hold = holdSamples;
    s.prevToken = t;
    double g = p[EngineParam::Voice00_NoteGate];
    if (s.hold > 0)
    {
      g = 0;
      s.hold = s.hold - 1;
    }
    const double m = Envelope(s, g, attackTime, decayTime);
    const double c = m > s.f ? 1 : fallCoef;
    s.f = Flush(s.f + (m - s.f) * c);
    const double f = s.f < 1e-8 ? 0 : s.f;
    if (std::floor(1 - f) != 0) s.phase = 0;
    double ph = s.phase + f * peakHz * (1 / sr);
    if (Flush(ph) == 0)
      ph = 0;
    else if (ph < 0 || ph >= 1)
      ph = ph - std::floor(ph);
    s.phase = ph;
    const unsigned long long wide = static_cast<unsigned long long>(std::trunc(ph * 4294967296.0));
    const unsigned int u = static_cast<unsigned int>(wide & 0xFFFFFFFFull);
    const unsigned int i = u >> 18;
    const double frac = (u & 0x3FFFF) * 3.81471181759574e-06;
    const double x = f * (table[i] + (table[(i + 1) & 16383] - table[i]) * frac);
    const double q = static_cast<int>(std::trunc(Limit(x, -1, 1) * 32768)) * 0.000030517578125;
    return Limit(q, -1, 1);
  }

  double Shape(double z) const
  {
    const double v = norm == 0 ? 0 : outScale * std::tanh(z * drive1 * drive2) / norm;
    return Limit(v, -1, 1);
  }

  double Shaper(double u)
  {
    const double mid = (u - sp) * 0.5 + sp;
    const double v = Shape(mid);
    const double w = Shape(sp);
    const double s = (w + (spw - w) * 0.5 + spv) * 0.5;
    const double y = s - sps + Flush(spy * 0.9997);
    sps = s;
    spy = y;
    sp = Flush(u);
    spv = Flush(v);
    spw = Flush(w);
    return Flush(y);
  }

  double sr;
  double p[kEngineNumParams] = {};
  double table[16384];
  Generator bass, snap;
  double prevG5 = 0, heldVelocity = 0;
  double holdSamples = 0, fallCoef = 1;
  double drive1 = 1, drive2 = 1, norm = 1, outScale = 1;
  double sp = 0, spv = 0, spw = 0, sps = 0, spy = 0;
  Reverb reverb;
};
} // namespace reference
