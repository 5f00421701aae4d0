// velmora-snapshot as a user runs it: a child process with a command line, judged by its exit
// code, its error line and the picture it leaves (or does not leave) behind. Each control's
// region of the picture is matched against the panel images composited directly from the
// embedded filmstrips, which tells exactly which frame it shows.

#include "VelmoraResources.h"
#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_Resample.h"
#include "framework/graphics/FilmstripFrame.h"
#include "framework/graphics/NativeArtwork.h"
#include "plugin/VelmoraEditor.h"
#include "plugin/VelmoraSteps.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<int> DefaultSteps() {
  std::vector<int> steps;
  for (const ParamDefinition& def : kParamDefinitions) steps.push_back(def.defaultStep);
  return steps;
}

const LICE_IBitmap& DecodedImage(int resourceId) {
  static std::map<int, std::unique_ptr<LICE_IBitmap>> images;
  std::unique_ptr<LICE_IBitmap>& image = images[resourceId];
  if (!image) {
    const EmbeddedResource* res = VelmoraResources().Find(resourceId, "PNG");
    if (res) image.reset(DecodePngBuffer(res->data, res->size));
    if (!image) image.reset(new LICE_MemBitmap());
  }
  return *image;
}

// The 1-based frame of the image that the picture shows at (x, y) over the background, or 0
// when no frame matches to the pixel. At scale 2 the picture is matched against the images drawn
// at 2x, at twice the place.
int ShownFrame(const LICE_IBitmap& picture, const PanelImage& image, int x, int y, int scale = 1) {
  const int offset = scale == 1 ? 0 : kNative2xResourceOffset;
  auto* strip = const_cast<LICE_IBitmap*>(&DecodedImage(image.resourceId + offset));
  const IFilmstrip filmstrip(strip, strip->Width(), strip->Height(), image.frames);
  const IRect r = FilmstripFrameRect(x * scale, y * scale, filmstrip);
  const LICE_IBitmap& bg = DecodedImage(kEditorBackground.resourceId + offset);
  for (int frame = 1; frame <= image.frames; ++frame) {
    LICE_MemBitmap expected(r.W(), r.H());
    const LICE_Rect bgPart(r.L, r.T, r.R, r.B);
    BlitBitmap(&expected, &bg, 0, 0, &bgPart, 1.0f, LICE_BLIT_COPY);
    int srcX = 0, srcY = 0;
    FilmstripFrameOffset(filmstrip, frame, &srcX, &srcY);
    const LICE_Rect framePart(srcX, srcY, srcX + r.W(), srcY + r.H());
    BlitBitmap(&expected, strip, 0, 0, &framePart, 1.0f, LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA);
    bool same = true;
    for (int j = 0; j < r.H() && same; ++j)
      for (int i = 0; i < r.W() && same; ++i)
        same = LICE_RowAddress(picture, r.T + j)[r.L + i] == LICE_RowAddress(expected, j)[i];
    if (same) return frame;
  }
  return 0;
}

// Frames the thirteen parameter controls show, in parameter order (knobs, then switches).
std::vector<int> ParameterFrames(const LICE_IBitmap& picture, int scale = 1) {
  std::vector<int> frames(kNumParams, -1);
  for (const VelmoraKnob& k : kEditorKnobs) frames[k.paramIdx] = ShownFrame(picture, k.image, k.x, k.y, scale);
  for (const VelmoraSwitch& s : kEditorSwitches) frames[s.paramIdx] = ShownFrame(picture, s.image, s.x, s.y, scale);
  return frames;
}

int MeterFrame(const LICE_IBitmap& picture, int scale = 1) {
  return ShownFrame(picture, kEditorMeter, kMeterX, kMeterY, scale);
}

void WriteWav(const std::string& path, int rate, int channels, double seconds,
              const std::function<float(double t)>& signal) {
  SF_INFO info = {};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << path;
  const long frames = std::lround(seconds * rate);
  std::vector<float> samples(static_cast<size_t>(frames) * static_cast<size_t>(channels));
  for (long i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) samples[static_cast<size_t>(i * channels + c)] = signal(double(i) / rate);
  sf_writef_float(f, samples.data(), frames);
  sf_close(f);
}

float LoudSine(double t) { return static_cast<float>(0.9 * std::sin(2.0 * M_PI * 220.0 * t)); }

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct RunResult {
  int exitCode = -1;
  std::string errors;  // what the tool wrote to its error stream
};

class SnapshotToolTest : public ::testing::Test {
protected:
  std::string Path(const std::string& name) const { return temp.Path(name); }

  RunResult Run(const std::vector<std::string>& args) const {
    std::string command = Quote(VELMORA_SNAPSHOT_EXE);
    for (const std::string& a : args) command += " " + Quote(a);
    command += " > /dev/null 2> " + Quote(streams.Path("stderr"));
    RunResult result;
    const int status = std::system(command.c_str());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(streams.Path("stderr"));
    std::stringstream text;
    text << err.rdbuf();
    result.errors = text.str();
    return result;
  }

  // Runs the tool and decodes its picture.
  std::unique_ptr<LICE_IBitmap> Snapshot(const std::vector<std::string>& args) const {
    std::vector<std::string> all = {Path("out.png")};
    all.insert(all.end(), args.begin(), args.end());
    const RunResult run = Run(all);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    std::unique_ptr<LICE_IBitmap> picture(DecodePngFile(Path("out.png").c_str(), true));
    EXPECT_NE(picture, nullptr);
    if (picture) {
      EXPECT_EQ(picture->Width(), kEditorWidth);
      EXPECT_EQ(picture->Height(), kEditorHeight);
    }
    return picture;
  }

  std::vector<std::string> Files() const { return temp.FileNames(); }

  TempFolder temp;     // the files a test hands to the tool and gets back
  TempFolder streams;  // what the tool printed, kept apart so it never counts as the tool's output
};

TEST_F(SnapshotToolTest, DefaultsShowEveryControlOnItsDefaultFrameAndTheMeterAtRest) {
  const auto picture = Snapshot({});
  ASSERT_NE(picture, nullptr);
  std::vector<int> expected = DefaultSteps();
  for (int& frame : expected) frame += 1;  // frame n shows step n - 1
  EXPECT_EQ(ParameterFrames(*picture), expected);
  EXPECT_EQ(MeterFrame(*picture), 1);
}

TEST_F(SnapshotToolTest, StepsByTitleOrIdChangeTheShownFrames) {
  const auto picture = Snapshot({"--set", "ratio=0", "--set", "LIMIT LEVEL=5", "--set", "2=10", "--set=Bypass=0",
                                 "--set", "gr select=1", "--set", "Mix=3", "--set", "Mix=7"});
  ASSERT_NE(picture, nullptr);
  std::vector<int> steps = DefaultSteps();
  steps[kParamRatio] = 0;
  steps[kParamLimitLevel] = 5;
  steps[kParamGain] = 10;   // by id
  steps[kParamBypass] = 0;  // the effect's Bypass: the IN lamp goes out
  steps[kParamGRSelect] = 1;
  steps[kParamMix] = 7;  // the last assignment wins
  std::vector<int> expected;
  for (int s : steps) expected.push_back(s + 1);
  EXPECT_EQ(ParameterFrames(*picture), expected);
}

TEST_F(SnapshotToolTest, MeterShowsTheGainReductionOfTheProcessedMaterial) {
  WriteWav(Path("loud.wav"), 44100, 2, 2.0, LoudSine);
  WriteWav(Path("silent.wav"), 44100, 2, 2.0, [](double) { return 0.0f; });
  WriteWav(Path("loud-mono-48k.wav"), 48000, 1, 2.0, LoudSine);
  WriteWav(Path("burst.wav"), 44100, 2, 3.0, [](double t) { return t < 1.0 ? LoudSine(t) : 0.0f; });

  const std::string threshold = "Compressor Threshold=0";  // -30 dB
  struct Case {
    const char* what;
    std::vector<std::string> args;
    bool moved;
  } cases[] = {
      {"loud material", {"--input", Path("loud.wav"), "--set", threshold}, true},
      {"loud material at the default threshold of 0 dB", {"--input", Path("loud.wav")}, false},
      {"silence", {"--input", Path("silent.wav"), "--set", threshold}, false},
      {"mono at 48 kHz feeds both channels", {"--input", Path("loud-mono-48k.wav"), "--set", threshold}, true},
      {"loud sidechain keys silent material",
       {"--input", Path("silent.wav"), "--sidechain", Path("loud.wav"), "--set", threshold, "--set",
        "External Sidechain=1"},
       true},
      {"sidechain unused while the detector listens to the input",
       {"--input", Path("silent.wav"), "--sidechain", Path("loud.wav"), "--set", threshold},
       false},
      {"the loudest moment of a burst is shown, not its silent end",
       {"--input", Path("burst.wav"), "--set", threshold},
       true},
      {"--at the end of the burst shows the meter back at rest",
       {"--input", Path("burst.wav"), "--set", threshold, "--at", "3"},
       false},
      {"--at inside the burst", {"--input", Path("burst.wav"), "--set", threshold, "--at", "0.8"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto picture = Snapshot(c.args);
    ASSERT_NE(picture, nullptr);
    const int frame = MeterFrame(*picture);
    if (c.moved)
      EXPECT_GE(frame, 40);  // a third of full deflection: over 3 dB of reduction
    else
      EXPECT_EQ(frame, 1);
  }
}

// Scaled pictures are the editor drawn at that scale: at 2 every control shows the frame of its
// step drawn at 2x, pixel for pixel; other scales are the panel's size times the scale, rounded;
// 4, beyond what the editor draws, is the 2x picture enlarged twice.
TEST_F(SnapshotToolTest, ScaledPicturesAreTheEditorDrawnAtThatScale) {
  const std::string ratio = "Ratio=3";
  ASSERT_EQ(Run({Path("two.png"), "--scale", "2", "--set", ratio}).exitCode, 0);
  const std::unique_ptr<LICE_IBitmap> two(DecodePngFile(Path("two.png").c_str(), true));
  ASSERT_NE(two, nullptr);
  ASSERT_EQ(two->Width(), 2 * kEditorWidth);
  ASSERT_EQ(two->Height(), 2 * kEditorHeight);
  std::vector<int> expected;
  for (int step : DefaultSteps()) expected.push_back(step + 1);
  expected[kParamRatio] = 4;
  EXPECT_EQ(ParameterFrames(*two, 2), expected);
  EXPECT_EQ(MeterFrame(*two, 2), 1);

  struct Case {
    const char* scale;
    int width, height;
  } cases[] = {{"1.5", 606, 951}, {"1.25", 505, 793}, {"3", 1212, 1902}, {"4", 1616, 2536}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    ASSERT_EQ(Run({Path("scaled.png"), "--scale", c.scale, "--set", ratio}).exitCode, 0);
    const std::unique_ptr<LICE_IBitmap> picture(DecodePngFile(Path("scaled.png").c_str(), true));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), c.width);
    EXPECT_EQ(picture->Height(), c.height);
    if (std::string(c.scale) == "4") {
      LICE_MemBitmap enlarged(c.width, c.height);
      ResampleBitmap(&enlarged, two.get());
      int differences = 0;
      for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
          differences += LICE_RowAddress(*picture, y)[x] != LICE_RowAddress(enlarged, y)[x];
      EXPECT_EQ(differences, 0);
    }
  }
}

// The browser pictures of the bundle: named after the class id, the editor as it opens at 1x and
// 2x, the same pictures the plain command lines give.
TEST_F(SnapshotToolTest, BundlePicturesAreTheOpeningEditorAtOneAndTwoTimes) {
  ASSERT_EQ(Run({"--bundle", Path("Velmora.vst3")}).exitCode, 0);
  ASSERT_EQ(Run({Path("one.png")}).exitCode, 0);
  ASSERT_EQ(Run({Path("two.png"), "--scale=2"}).exitCode, 0);
  const std::string folder = Path("Velmora.vst3") + "/Contents/Resources/Snapshots/";
  const std::string id = "0DE7AEF2DE004E4F43767461566C6D31";
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{id + "_snapshot.png", id + "_snapshot_2.0x.png"}));
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(bytes(folder + id + "_snapshot.png"), bytes(Path("one.png")));
  EXPECT_EQ(bytes(folder + id + "_snapshot_2.0x.png"), bytes(Path("two.png")));
}

TEST_F(SnapshotToolTest, BadCommandLinesFailWithOneLineAndLeaveNoFile) {
  WriteWav(Path("in.wav"), 44100, 2, 1.0, LoudSine);
  WriteWav(Path("in-48k.wav"), 48000, 2, 1.0, LoudSine);
  WriteWav(Path("three.wav"), 44100, 3, 0.1, LoudSine);
  const std::vector<std::string> before = Files();
  const std::string out = Path("out.png");
  const int usage = 2, failure = 1;

  struct Case {
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {{}, usage},
      {{out, "--bogus"}, usage},
      {{out, Path("second.png")}, usage},
      {{out, "--set", "Nope=1"}, usage},
      {{out, "--set", "Ratio=5"}, usage},
      {{out, "--set", "Ratio=1.5"}, usage},
      {{out, "--set", "Ratio=-1"}, usage},
      {{out, "--set", "13=0"}, usage},
      {{out, "--set", "Ratio"}, usage},
      {{out, "--set"}, usage},
      {{out, "--at", "1"}, usage},
      {{out, "--sidechain", Path("in.wav")}, usage},
      {{out, "--input", Path("in.wav"), "--at", "1.5"}, usage},
      {{out, "--input", Path("in.wav"), "--at", "-1"}, usage},
      {{out, "--input", Path("in.wav"), "--at", "soon"}, usage},
      {{Path("in.wav"), "--input", Path("in.wav")}, usage},
      {{out, "--scale", "0"}, usage},
      {{out, "--scale", "5"}, usage},
      {{out, "--scale", "3.5"}, usage},
      {{out, "--scale", "0.75"}, usage},
      {{out, "--scale", "2x"}, usage},
      {{out, "--scale", "1."}, usage},
      {{"--bundle", Path("B.vst3"), out}, usage},
      {{"--bundle", Path("B.vst3"), "--set", "Ratio=1"}, usage},
      {{out, "--input", Path("missing.wav")}, failure},
      {{out, "--input", Path("three.wav")}, failure},
      {{out, "--input", Path("in.wav"), "--sidechain", Path("in-48k.wav")}, failure},
      {{Path("no-such-folder/out.png")}, failure},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += " " + a;
    SCOPED_TRACE(line);
    const RunResult run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.errors.rfind("velmora-snapshot: ", 0), 0u) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_EQ(Files(), before);
  }

  // A picture already there survives a failed run untouched.
  std::ofstream(out) << "earlier picture";
  EXPECT_EQ(Run({out, "--set", "Ratio=9"}).exitCode, usage);
  std::ifstream kept(out);
  std::string content;
  std::getline(kept, content);
  EXPECT_EQ(content, "earlier picture");
}

}  // namespace
