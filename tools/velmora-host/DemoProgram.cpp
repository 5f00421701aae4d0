#include "tools/velmora-host/DemoProgram.h"

#include "tools/support/LevelStats.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora_host {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatSeconds = 0.5;  // 120 BPM
constexpr int kBars = 4;
constexpr int kStepsPerBar = 16;
constexpr double kStepSeconds = kBeatSeconds / 4.0;
constexpr double kLengthSeconds = kBars * 4 * kBeatSeconds;

// xorshift32: tiny, fast and identical everywhere, unlike the standard library's distributions.
class NoiseSource {
public:
  explicit NoiseSource(std::uint32_t seed) : mState(seed ? seed : 1u) {}
  double Next() {  // uniform in [-1, 1)
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<double>(mState) / 2147483648.0 - 1.0;
  }

private:
  std::uint32_t mState;
};

double MidiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

void AddStereo(AudioData& audio, std::size_t frame, double value, double pan) {
  // Constant-power pan, pan in [-1, 1].
  const double angle = (pan + 1.0) * kPi / 4.0;
  audio.channels[0][frame] += value * std::cos(angle);
  audio.channels[1][frame] += value * std::sin(angle);
}

void AddKick(AudioData& out, std::size_t start, double gain) {
  const double rate = out.sampleRate;
  const auto length = static_cast<std::size_t>(0.35 * rate);
  double phase = 0.0;
  for (std::size_t i = 0; i < length && start + i < out.FrameCount(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double freq = 48.0 + 110.0 * std::exp(-t * 30.0);
    phase += 2.0 * kPi * freq / rate;
    const double env = std::exp(-t * 9.0) * std::min(1.0, t * 2000.0);
    AddStereo(out, start + i, gain * env * std::sin(phase), 0.0);
  }
}

void AddSnare(AudioData& out, std::size_t start, double gain, NoiseSource& noise) {
  const double rate = out.sampleRate;
  const auto length = static_cast<std::size_t>(0.25 * rate);
  double lowpassed = 0.0;
  for (std::size_t i = 0; i < length && start + i < out.FrameCount(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double n = noise.Next();
    lowpassed += 0.35 * (n - lowpassed);
    const double body = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t * 28.0);
    const double rattle = (n - lowpassed) * std::exp(-t * 18.0);
    AddStereo(out, start + i, gain * (0.55 * body + 0.6 * rattle), -0.05);
  }
}

void AddHat(AudioData& out, std::size_t start, double gain, double decay, NoiseSource& noise) {
  const double rate = out.sampleRate;
  const auto length = static_cast<std::size_t>(decay * 6.0 * rate);
  double previous = 0.0;
  for (std::size_t i = 0; i < length && start + i < out.FrameCount(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double n = noise.Next();
    const double bright = n - previous;  // first difference: a crude high-pass
    previous = n;
    AddStereo(out, start + i, gain * 0.5 * bright * std::exp(-t / decay), 0.35);
  }
}

// Band-limited sawtooth from a handful of harmonics; `brightness` tilts the upper ones down.
double Saw(double phase, int harmonics, double brightness) {
  double sum = 0.0;
  double weight = 1.0;
  for (int k = 1; k <= harmonics; ++k) {
    sum += weight * std::sin(phase * k) / k;
    weight *= brightness;
  }
  return sum;
}

void SynthesiseDrums(AudioData& out, NoiseSource& noise) {
  static constexpr std::array<int, kStepsPerBar> kKick{1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0};
  static constexpr std::array<int, kStepsPerBar> kSnare{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  for (int bar = 0; bar < kBars; ++bar)
    for (int step = 0; step < kStepsPerBar; ++step) {
      const auto start =
          static_cast<std::size_t>(std::lround((bar * kStepsPerBar + step) * kStepSeconds * out.sampleRate));
      if (kKick[step] || (bar % 2 == 1 && step == 7)) AddKick(out, start, step == 7 ? 0.6 : 0.95);
      if (kSnare[step]) AddSnare(out, start, 0.7, noise);
      if (bar == kBars - 1 && step >= 13) AddSnare(out, start, 0.3 + 0.1 * (step - 13), noise);
      if (step == 14)
        AddHat(out, start, 0.3, 0.09, noise);  // open hat before each downbeat
      else if (step % 2 == 0)
        AddHat(out, start, 0.22 + 0.08 * std::fabs(noise.Next()), 0.018, noise);
      else
        AddHat(out, start, 0.08, 0.012, noise);
    }
}

// Am - F - C - G, one chord per bar: pad voicings and bass roots as MIDI notes.
constexpr std::array<std::array<int, 3>, kBars> kChords{{{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}}};
constexpr std::array<int, kBars> kRoots{33, 29, 36, 31};

void SynthesiseBass(AudioData& out) {
  const double rate = out.sampleRate;
  static constexpr std::array<int, 8> kOctave{0, 0, 12, 0, 0, 12, 0, 7};
  const double noteSeconds = kBeatSeconds / 2.0;
  for (int bar = 0; bar < kBars; ++bar)
    for (int eighth = 0; eighth < 8; ++eighth) {
      const double freq = MidiToHz(kRoots[bar] + kOctave[eighth]);
      const auto start = static_cast<std::size_t>(std::lround((bar * 8 + eighth) * noteSeconds * rate));
      const auto length = static_cast<std::size_t>(noteSeconds * rate);
      for (std::size_t i = 0; i < length && start + i < out.FrameCount(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double env = std::min(1.0, t * 400.0) * std::exp(-t * 5.0) * std::min(1.0, (noteSeconds - t) * 200.0);
        const double value = Saw(2.0 * kPi * freq * t, 8, 0.6 * std::exp(-t * 4.0) + 0.2);
        AddStereo(out, start + i, 0.5 * env * value, 0.0);
      }
    }
}

void SynthesisePad(AudioData& out) {
  const double rate = out.sampleRate;
  const double chordSeconds = 4 * kBeatSeconds;
  const double release = 0.4;
  for (int bar = 0; bar < kBars; ++bar) {
    const auto start = static_cast<std::size_t>(std::lround(bar * chordSeconds * rate));
    const auto length = static_cast<std::size_t>((chordSeconds + release) * rate);
    for (std::size_t v = 0; v < kChords[bar].size(); ++v) {
      const double freq = MidiToHz(kChords[bar][v]);
      const double pan = -0.6 + 0.6 * static_cast<double>(v);
      for (std::size_t i = 0; i < length && start + i < out.FrameCount(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::min(1.0, t / 0.35);
        const double fade = t > chordSeconds ? std::max(0.0, 1.0 - (t - chordSeconds) / release) : 1.0;
        const double swell = 0.8 + 0.2 * std::sin(2.0 * kPi * 0.5 * t);
        // Two oscillators detuned by a few cents make the chorus; they sit on opposite sides.
        const double a = Saw(2.0 * kPi * freq * 1.003 * t, 5, 0.55);
        const double b = Saw(2.0 * kPi * freq * 0.997 * t + 1.0, 5, 0.55);
        const double value = 0.12 * attack * fade * swell;
        AddStereo(out, start + i, value * a, std::clamp(pan - 0.3, -1.0, 1.0));
        AddStereo(out, start + i, value * b, std::clamp(pan + 0.3, -1.0, 1.0));
      }
    }
  }
}

void Scale(AudioData& audio, double factor) {
  for (auto& channel : audio.channels)
    for (double& x : channel) x *= factor;
}

}  // namespace

DemoProgram SynthesiseDemoProgram(double sampleRate, std::uint32_t seed) {
  const auto frames = static_cast<std::size_t>(std::lround(kLengthSeconds * sampleRate));
  DemoProgram program;
  program.drums = AudioData::Silent(2, frames, sampleRate);
  program.bass = AudioData::Silent(2, frames, sampleRate);
  program.pad = AudioData::Silent(2, frames, sampleRate);

  NoiseSource noise(seed);
  SynthesiseDrums(program.drums, noise);
  SynthesiseBass(program.bass);
  SynthesisePad(program.pad);

  program.mix = AudioData::Silent(2, frames, sampleRate);
  for (const AudioData* stem : {&program.drums, &program.bass, &program.pad})
    for (std::size_t c = 0; c < 2; ++c)
      for (std::size_t i = 0; i < frames; ++i) program.mix.channels[c][i] += stem->channels[c][i];

  const double peak = MeasureOverall(program.mix).peak;
  const double factor = peak > 0.0 ? std::pow(10.0, -3.0 / 20.0) / peak : 1.0;
  for (AudioData* audio : {&program.drums, &program.bass, &program.pad, &program.mix}) Scale(*audio, factor);
  return program;
}

}  // namespace velmora_host
