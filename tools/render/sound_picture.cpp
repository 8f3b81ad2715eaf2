#include "sound_picture.h"

#include "lice_blit.h"
#include "lice_font.h"
#include "lice_png.h"
#include "spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

constexpr LICE_pixel kBackground = LICE_Rgba(0x14, 0x16, 0x1B, 0xFF);
constexpr LICE_pixel kPanel = LICE_Rgba(0x1D, 0x21, 0x29, 0xFF);
constexpr LICE_pixel kGrid = LICE_Rgba(0x31, 0x37, 0x42, 0xFF);
constexpr LICE_pixel kAxis = LICE_Rgba(0x4A, 0x52, 0x60, 0xFF);
constexpr LICE_pixel kText = LICE_Rgba(0xC9, 0xCE, 0xD6, 0xFF);
constexpr LICE_pixel kTitleText = LICE_Rgba(0xF0, 0xF2, 0xF5, 0xFF);

constexpr int kLeftMargin = 78;
constexpr int kRightMargin = 24;
constexpr int kTopMargin = 48;
constexpr int kPanelGap = 30;
constexpr int kBottomMargin = 40;
constexpr int kWaveformHeight = 170;
constexpr int kLevelHeight = 170;
constexpr int kSpectrogramHeight = 240;
constexpr double kLevelFloorDb = -60.0;
constexpr double kLevelWindowSeconds = 0.02;
constexpr double kSpectrumRangeDb = 90.0;
constexpr double kLowestShownHz = 30.0;

int Width(const LICE_Rect& r)
{
  return r.right - r.left;
}
int Height(const LICE_Rect& r)
{
  return r.bottom - r.top;
}

void Fill(LICE_IBitmap* bitmap, int x, int y, int width, int height, LICE_pixel colour,
          float weight = 1.0f)
{
  LICE_FillArea(bitmap, x, y, width, height, colour, weight, LICE_BlendCopy);
}

// A vertical run between two heights, in either order.
void VerticalRun(LICE_IBitmap* bitmap, int x, int y0, int y1, int thickness, LICE_pixel colour,
                 float weight = 1.0f)
{
  const int top = std::min(y0, y1);
  Fill(bitmap, x, top, thickness, std::max(y0, y1) - top + 1, colour, weight);
}

LICE_pixel Mix(LICE_pixel a, LICE_pixel b, double t)
{
  auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
  return LICE_Rgba(channel(LICE_RedOf(a), LICE_RedOf(b)), channel(LICE_GreenOf(a), LICE_GreenOf(b)),
                   channel(LICE_BlueOf(a), LICE_BlueOf(b)), 0xFF);
}

// A dark-to-warm heat scale for the spectrogram (0 silent, 1 loudest).
LICE_pixel HeatColour(double t)
{
  static const LICE_pixel stops[] = {
      LICE_Rgba(0x0B, 0x0D, 0x14, 0xFF), LICE_Rgba(0x2C, 0x11, 0x5F, 0xFF),
      LICE_Rgba(0x72, 0x1F, 0x81, 0xFF), LICE_Rgba(0xB7, 0x37, 0x79, 0xFF),
      LICE_Rgba(0xF1, 0x60, 0x5D, 0xFF), LICE_Rgba(0xFE, 0xAF, 0x77, 0xFF),
      LICE_Rgba(0xFC, 0xFD, 0xBF, 0xFF)};
  constexpr int last = int(sizeof(stops) / sizeof(stops[0])) - 1;
  const double position = std::min(1.0, std::max(0.0, t)) * last;
  const int index = std::min(last - 1, int(position));
  return Mix(stops[index], stops[index + 1], position - index);
}

// A round step for about `count` divisions of span: 1, 2 or 5 times a
// power of ten.
double NiceStep(double span, int count)
{
  const double raw = span / std::max(1, count);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0})
    if (factor * power >= raw) return factor * power;
  return 10.0 * power;
}

std::string Format(const char* pattern, double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), pattern, value);
  return text;
}

// Text drawing; without a usable font the picture is drawn without labels.
class Labels
{
public:
  Labels(int height, int weight)
  {
    const LICE_FontDescription description{"Arial", height, 0, weight, false, 2};
    if (LICE_FontHandle handle = LICE_CreatePlatformFont(description))
    {
      mFont.SetFromPlatformFont(handle, LICE_FontOwnsPlatformFont);
      mFont.SetBkMode(LICE_BkTransparent);
      mUsable = true;
    }
  }

  // Draws text in the rectangle with the alignment flags.
  void Draw(LICE_IBitmap* bitmap, const std::string& text, LICE_Rect rect, unsigned flags,
            LICE_pixel colour)
  {
    if (!mUsable) return;
    mFont.SetTextColor(colour);
    mFont.DrawText(bitmap, text.c_str(), -1, &rect,
                   flags | LICE_TextSingleLine | LICE_TextNoPrefix);
  }

private:
  LICE_CachedFont mFont;
  bool mUsable = false;
};

class PictureDrawer
{
public:
  PictureDrawer(const std::vector<std::vector<double>>& channels, double sampleRate,
                const PictureOptions& options)
      : mChannels(channels), mSampleRate(sampleRate), mOptions(options),
        mLayout(LayOutPicture(int(channels.size()), options)), mFrames(channels[0].size()),
        mSeconds(double(mFrames) / sampleRate), mSmall(13, 400), mTitle(17, 700)
  {
  }

  std::unique_ptr<LICE_MemBitmap> Draw()
  {
    auto bitmap = std::make_unique<LICE_MemBitmap>(mLayout.width, mLayout.height);
    mBitmap = bitmap.get();
    Fill(mBitmap, 0, 0, mLayout.width, mLayout.height, kBackground);
    DrawTitle();
    for (std::size_t c = 0; c < mChannels.size(); ++c)
      DrawWaveform(int(c));
    DrawLevel();
    if (mOptions.spectrogram) DrawSpectrogram();
    DrawTimeLabels();
    MakeOpaque();
    return bitmap;
  }

private:
  // Text blending leaves partial alpha on its pixels; the picture is a
  // flat image.
  void MakeOpaque()
  {
    for (int y = 0; y < mBitmap->Height(); ++y)
    {
      LICE_pixel* row = mBitmap->Bits() + std::size_t(y) * std::size_t(mBitmap->RowSpan());
      for (int x = 0; x < mBitmap->Width(); ++x)
        row[x] |= LICE_Rgba(0, 0, 0, 0xFF);
    }
  }

  // Frames [first, last) shown by pixel column x of a panel.
  void ColumnFrames(const LICE_Rect& panel, int x, std::size_t* first, std::size_t* last) const
  {
    const double perColumn = double(mFrames) / Width(panel);
    *first = std::min(mFrames, std::size_t(std::floor(x * perColumn)));
    *last = std::min(mFrames, std::max(*first + 1, std::size_t(std::floor((x + 1) * perColumn))));
  }

  void PanelWithTimeGrid(const LICE_Rect& panel)
  {
    Fill(mBitmap, panel.left, panel.top, Width(panel), Height(panel), kPanel);
    const double step = NiceStep(mSeconds, 10);
    for (double t = step; t < mSeconds; t += step)
    {
      const int x = panel.left + int(std::lround(t / mSeconds * Width(panel)));
      Fill(mBitmap, x, panel.top, 1, Height(panel), kGrid);
    }
  }

  void HorizontalGridLine(const LICE_Rect& panel, int y, const std::string& label, bool strong)
  {
    Fill(mBitmap, panel.left, y, Width(panel), 1, strong ? kAxis : kGrid);
    mSmall.Draw(mBitmap, label, LICE_Rect{4, y - 9, panel.left - 8, y + 9},
                LICE_TextRight | LICE_TextVCenter, kText);
  }

  void PanelName(const LICE_Rect& panel, const std::string& name)
  {
    mSmall.Draw(mBitmap, name,
                LICE_Rect{panel.left + 8, panel.top + 4, panel.right - 8, panel.top + 22},
                LICE_TextRight, kTitleText);
  }

  void DrawTitle()
  {
    double peak = 0.0;
    for (const auto& channel : mChannels)
      for (double sample : channel)
        peak = std::max(peak, std::fabs(sample));
    const std::string peakText =
        peak > 0.0 ? Format("peak %.1f dBFS", 20.0 * std::log10(peak)) : "silent";
    const std::string summary =
        Format("%.0f Hz", mSampleRate) + ", " + Format("%.3f s", mSeconds) + ", " + peakText;
    const std::string title = mOptions.title.empty() ? summary : mOptions.title + "  -  " + summary;
    mTitle.Draw(mBitmap, title, LICE_Rect{kLeftMargin, 12, mLayout.width - kRightMargin, 36},
                LICE_TextLeft | LICE_TextVCenter, kTitleText);
  }

  void DrawWaveform(int channel)
  {
    const LICE_Rect& panel = mLayout.waveforms[std::size_t(channel)];
    PanelWithTimeGrid(panel);
    const std::vector<double>& samples = mChannels[std::size_t(channel)];
    double peak = 0.0;
    for (double sample : samples)
      peak = std::max(peak, std::fabs(sample));
    // Full scale, widened only for sound beyond it.
    const double scale = peak > 1.0 ? std::ceil(peak * 4.0) / 4.0 : 1.0;
    const int middle = (panel.top + panel.bottom) / 2;
    const double halfHeight = (Height(panel) - 8) / 2.0;
    auto y = [&](double value) { return middle - int(std::lround(value / scale * halfHeight)); };
    HorizontalGridLine(panel, y(1.0), "+1", false);
    HorizontalGridLine(panel, y(-1.0), "-1", false);
    HorizontalGridLine(panel, middle, "0", true);
    const LICE_pixel colour = ChannelColour(channel);
    for (int x = 0; x < Width(panel); ++x)
    {
      std::size_t first = 0, last = 0;
      ColumnFrames(panel, x, &first, &last);
      if (first >= last) continue;
      double low = samples[first], high = samples[first], energy = 0.0;
      for (std::size_t i = first; i < last; ++i)
      {
        low = std::min(low, samples[i]);
        high = std::max(high, samples[i]);
        energy += samples[i] * samples[i];
      }
      const double rms = std::sqrt(energy / double(last - first));
      VerticalRun(mBitmap, panel.left + x, y(high), y(low), 1, colour, 0.55f);
      VerticalRun(mBitmap, panel.left + x, y(std::min(high, rms)), y(std::max(low, -rms)), 1,
                  colour);
    }
    PanelName(panel, channel == 0   ? "Left"
                     : channel == 1 ? "Right"
                                    : Format("Channel %.0f", channel + 1.0));
  }

  void DrawLevel()
  {
    const LICE_Rect& panel = mLayout.level;
    PanelWithTimeGrid(panel);
    auto y = [&](double db)
    {
      const double t =
          (std::max(kLevelFloorDb, std::min(0.0, db)) - kLevelFloorDb) / -kLevelFloorDb;
      return panel.bottom - 4 - int(std::lround(t * (Height(panel) - 8)));
    };
    for (double db = 0.0; db >= kLevelFloorDb; db -= 12.0)
      HorizontalGridLine(panel, y(db), Format("%.0f dB", db), db == 0.0);
    for (std::size_t c = 0; c < mChannels.size(); ++c)
    {
      const std::vector<double>& samples = mChannels[c];
      int previous = -1;
      for (int x = 0; x < Width(panel); ++x)
      {
        std::size_t first = 0, last = 0;
        ColumnFrames(panel, x, &first, &last);
        // At least a low note's period around the column, so the curve
        // follows the envelope rather than every zero crossing.
        const std::size_t reach = std::size_t(kLevelWindowSeconds * mSampleRate / 2.0);
        first = first > reach ? first - reach : 0;
        last = std::min(mFrames, last + reach);
        double peak = 0.0;
        for (std::size_t i = first; i < last; ++i)
          peak = std::max(peak, std::fabs(samples[i]));
        const int current = y(peak > 0.0 ? 20.0 * std::log10(peak) : kLevelFloorDb);
        VerticalRun(mBitmap, panel.left + x, previous < 0 ? current : previous, current, 2,
                    ChannelColour(int(c)), 0.85f);
        previous = current;
      }
    }
    PanelName(panel, "Level (peak, dB)");
  }

  void DrawSpectrogram()
  {
    const LICE_Rect& panel = mLayout.spectrogram;
    Fill(mBitmap, panel.left, panel.top, Width(panel), Height(panel), HeatColour(0.0));
    std::size_t size = 256;
    while (size < 8192 && double(size) < mSampleRate / 20.0)
      size <<= 1; // about 50 ms of sound a frame, for usable low-frequency detail
    const double nyquist = mSampleRate / 2.0;
    const double highest = std::min(20000.0, nyquist);
    const double lowest = std::min(kLowestShownHz, highest / 2.0);
    std::vector<std::vector<double>> columns(std::size_t(Width(panel)));
    double loudest = 1e-12;
    std::vector<double> frame(size);
    for (int x = 0; x < Width(panel); ++x)
    {
      const double centre = (x + 0.5) / Width(panel) * double(mFrames);
      const long long start = (long long)(centre) - (long long)(size / 2);
      for (std::size_t i = 0; i < size; ++i)
      {
        const long long at = start + (long long)(i);
        double sum = 0.0;
        if (at >= 0 && at < (long long)(mFrames))
          for (const auto& channel : mChannels)
            sum += channel[std::size_t(at)];
        frame[i] = sum / double(mChannels.size());
      }
      columns[std::size_t(x)] = WindowedMagnitudes(frame);
      for (double m : columns[std::size_t(x)])
        loudest = std::max(loudest, m);
    }
    const double binHz = mSampleRate / double(size);
    for (int row = 0; row < Height(panel); ++row)
    {
      // Rows on a logarithmic frequency scale, low at the bottom.
      const double t = (Height(panel) - 1 - row + 0.5) / Height(panel);
      const double hz = lowest * std::pow(highest / lowest, t);
      const std::size_t bin = std::min(size / 2, std::size_t(std::lround(hz / binHz)));
      for (int x = 0; x < Width(panel); ++x)
      {
        const double magnitude = columns[std::size_t(x)][bin];
        const double db = 20.0 * std::log10(std::max(magnitude, 1e-12) / loudest);
        Fill(mBitmap, panel.left + x, panel.top + row, 1, 1,
             HeatColour(1.0 + db / kSpectrumRangeDb));
      }
    }
    for (double hz : {50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0})
    {
      if (hz < lowest || hz > highest) continue;
      const double t = std::log(hz / lowest) / std::log(highest / lowest);
      const int y = panel.bottom - 1 - int(std::lround(t * (Height(panel) - 1)));
      Fill(mBitmap, panel.left, y, Width(panel), 1, kText, 0.18f);
      mSmall.Draw(mBitmap, hz >= 1000.0 ? Format("%.0f kHz", hz / 1000.0) : Format("%.0f Hz", hz),
                  LICE_Rect{4, y - 9, panel.left - 8, y + 9}, LICE_TextRight | LICE_TextVCenter,
                  kText);
    }
    PanelName(panel, "Spectrogram");
  }

  void DrawTimeLabels()
  {
    const LICE_Rect& lowest = mOptions.spectrogram ? mLayout.spectrogram : mLayout.level;
    const double step = NiceStep(mSeconds, 10);
    const char* pattern = step >= 1.0 ? "%.0f s" : step >= 0.1 ? "%.1f s" : "%.2f s";
    for (double t = 0.0; t <= mSeconds + 1e-9; t += step)
    {
      const int x = lowest.left + int(std::lround(t / mSeconds * Width(lowest)));
      Fill(mBitmap, x, lowest.bottom, 1, 5, kAxis);
      mSmall.Draw(mBitmap, Format(pattern, t),
                  LICE_Rect{x - 40, lowest.bottom + 6, x + 40, lowest.bottom + 24}, LICE_TextCenter,
                  kText);
    }
  }

  const std::vector<std::vector<double>>& mChannels;
  double mSampleRate;
  PictureOptions mOptions;
  PictureLayout mLayout;
  std::size_t mFrames;
  double mSeconds;
  Labels mSmall;
  Labels mTitle;
  LICE_IBitmap* mBitmap = nullptr;
};

} // namespace

LICE_pixel ChannelColour(int channel)
{
  static const LICE_pixel colours[] = {LICE_Rgba(0x4F, 0xD1, 0xC5, 0xFF),
                                       LICE_Rgba(0xF6, 0xAD, 0x55, 0xFF),
                                       LICE_Rgba(0x9F, 0x7A, 0xEA, 0xFF)};
  return colours[std::size_t(channel) % (sizeof(colours) / sizeof(colours[0]))];
}

PictureLayout LayOutPicture(int channelCount, const PictureOptions& options)
{
  PictureLayout layout{};
  layout.width = std::max(options.width, kLeftMargin + kRightMargin + 64);
  const int left = kLeftMargin;
  const int right = layout.width - kRightMargin;
  int y = kTopMargin;
  for (int c = 0; c < channelCount; ++c)
  {
    layout.waveforms.push_back(LICE_Rect{left, y, right, y + kWaveformHeight});
    y += kWaveformHeight + kPanelGap;
  }
  layout.level = LICE_Rect{left, y, right, y + kLevelHeight};
  y += kLevelHeight;
  if (options.spectrogram)
  {
    y += kPanelGap;
    layout.spectrogram = LICE_Rect{left, y, right, y + kSpectrogramHeight};
    y += kSpectrogramHeight;
  }
  layout.height = y + kBottomMargin;
  return layout;
}

std::unique_ptr<LICE_MemBitmap> DrawSoundPicture(const std::vector<std::vector<double>>& channels,
                                                 double sampleRate, const PictureOptions& options)
{
  if (channels.empty() || channels[0].empty() || !(sampleRate > 0.0)) return nullptr;
  for (const auto& channel : channels)
    if (channel.size() != channels[0].size()) return nullptr;
  return PictureDrawer(channels, sampleRate, options).Draw();
}

bool SaveSoundPicture(const std::string& path, const std::vector<std::vector<double>>& channels,
                      double sampleRate, const PictureOptions& options, std::string* error)
{
  std::unique_ptr<LICE_MemBitmap> bitmap = DrawSoundPicture(channels, sampleRate, options);
  if (!bitmap)
  {
    *error = "there is no sound to draw";
    return false;
  }
  if (!SavePng(bitmap.get(), path.c_str()))
  {
    *error = "cannot write the picture " + path;
    return false;
  }
  return true;
}
