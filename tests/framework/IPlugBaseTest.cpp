#include "TestPlug.h"

#include "framework/Trace.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

TEST(IPlugBase, ConstructionLikeVelmora) {
  TestPlug plug;
  ASSERT_EQ(plug.NLegalIO(), 2);
  EXPECT_EQ(plug.GetLegalIO(0)->nIn, 2);
  EXPECT_EQ(plug.GetLegalIO(0)->nOut, 2);
  EXPECT_EQ(plug.GetLegalIO(1)->nIn, 4);
  EXPECT_EQ(plug.GetLegalIO(1)->nOut, 2);
  EXPECT_EQ(plug.GetLegalIO(2), nullptr);
  EXPECT_EQ(plug.NInChannels(), 4);
  EXPECT_EQ(plug.NOutChannels(), 2);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(plug.GetInChannel(i)->pointerSlot, plug.InputPointers() + i);
    EXPECT_FALSE(plug.GetInChannel(i)->connected);
  }
  EXPECT_EQ(plug.GetOutChannel(1)->pointerSlot, plug.OutputPointers() + 1);
  EXPECT_EQ(plug.GetOutChannel(1)->floatDest, nullptr);

  EXPECT_STREQ(plug.EffectName(), "Velmora");
  EXPECT_STREQ(plug.ProductName(), "");
  EXPECT_STREQ(plug.MfrName(), "Corvanta");
  EXPECT_EQ(plug.UniqueID(), 0x566C6D31);
  EXPECT_EQ(plug.MfrID(), 0x43767461);
  EXPECT_EQ(plug.Version(), 0x00010100);
  EXPECT_EQ(plug.GetBindingKind(), 1);
  EXPECT_EQ(plug.GetHost(), -1);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 0);
  EXPECT_EQ(plug.GetLatencyDelay(), nullptr);
  EXPECT_EQ(plug.GetGraphics(), nullptr);
  EXPECT_EQ(plug.NParams(), 13);
  EXPECT_EQ(plug.GetParam(13), nullptr);
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPreset(0)->name, "-");
}

TEST(IPlugBase, UninitialisedPresetsAreNamedEmpty) {
  TestPlug plug("2-2 4-2", 2, false);
  EXPECT_STREQ(plug.GetPreset(0)->name, "empty");
  EXPECT_FALSE(plug.GetPreset(1)->initialised);
  EXPECT_EQ(plug.GetParam(0)->Type(), IParam::kTypeNone);
}

TEST(IPlugBase, ChannelTextParsing) {
  struct Case {
    const char* text;
    std::vector<std::pair<int, int>> pairs;
    int nIn, nOut;
  };
  const Case cases[] = {
      {"1-1", {{1, 1}}, 1, 1},
      {"0-2 2-2 6-8", {{0, 2}, {2, 2}, {6, 8}}, 6, 8},
      {"x-2", {{0, 0}}, 0, 0},  // an unreadable input count leaves both at 0
      {"3", {{3, 0}}, 3, 0},
      // Clamped rather than overflowed; no pointer array that large can be built, so no channels.
      {"99999999999-1", {{2147483647, 1}}, 0, 1},
  };
  for (const Case& c : cases) {
    TestPlug plug(c.text, 0, false);
    ASSERT_EQ(plug.NLegalIO(), static_cast<int>(c.pairs.size())) << c.text;
    for (size_t i = 0; i < c.pairs.size(); ++i) {
      EXPECT_EQ(plug.GetLegalIO(static_cast<int>(i))->nIn, c.pairs[i].first) << c.text;
      EXPECT_EQ(plug.GetLegalIO(static_cast<int>(i))->nOut, c.pairs[i].second) << c.text;
    }
    EXPECT_EQ(plug.NInChannels(), c.nIn) << c.text;
    EXPECT_EQ(plug.NOutChannels(), c.nOut) << c.text;
  }
}

TEST(IPlugBase, LegalIO) {
  TestPlug plug;
  struct Case {
    int nIn, nOut;
    bool legal;
  };
  const Case cases[] = {{4, 2, true},  {2, 2, true},  {-1, 2, true}, {4, -1, true}, {-1, -1, true},
                        {1, 1, false}, {4, 1, false}, {2, 4, false}, {-1, 3, false}};
  for (const Case& c : cases) EXPECT_EQ(plug.LegalIO(c.nIn, c.nOut), c.legal) << c.nIn << "-" << c.nOut;
}

TEST(IPlugBase, LookUpHostTable) {
  struct Case {
    const char* name;
    int id;
  };
  const Case cases[] = {
      {"cubase", 3},
      {"reaper", 1},
      {"nuendo", 4},
      {"cakewalk", 5},
      {"samplitude", 8},
      {"fruity", 7},
      {"live", 9},
      {"melodyne", 12},
      {"vstmanlib", 13},
      {"aulab", 14},
      {"garageband", 22},
      {"forte", 15},
      {"chainer", 16},
      {"audition", 17},
      {"orion", 18},
      {"sawstudio", 20},
      {"logic", 21},
      {"digital", 23},
      {"audiomulch", 25},
      {"presonus", 26},
      {"vst3plugintesthost", 27},
      {"protools", 2},
      {"ardour", 28},
      {"openmpt", 30},
      {"renoise", 29},
      {"standalone", 24},
      // Case-insensitive substrings, first match in table order wins.
      {"Steinberg CUBASE Pro 12", 3},
      {"Nuendo with Cubase inside", 3},
      {"REAPER64", 1},
      {"Ableton Live with Logic", 9},
      {"Logic Pro X", 21},
      {"VST3PluginTestHost", 27},
      {"Some Other Host", 0},
      {"", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(IPlugBase::LookUpHost(c.name), c.id) << (c.name ? c.name : "(null)");
}

TEST(IPlugBase, LookUpHostReadsAtMost255Characters) {
  std::string name(249, 'a');
  EXPECT_EQ(IPlugBase::LookUpHost((name + "cubase").c_str()), 3);   // ends at character 255
  EXPECT_EQ(IPlugBase::LookUpHost((name + "xcubase").c_str()), 0);  // would end at 256
  const std::string longName(100000, 'Z');
  EXPECT_EQ(IPlugBase::LookUpHost(longName.c_str()), 0);
}

TEST(IPlugBase, SetHostIdentifies) {
  TestPlug plug;
  plug.SetHost("REAPER", 0x00060500);
  EXPECT_EQ(plug.GetHost(), 1);
  EXPECT_EQ(plug.HostVersion(), 0);
}

TEST(IPlugBase, SetParamFromEditorStoresRoundedAndReportsReceived) {
  TestPlug plug;
  plug.SetParamFromEditor(1, 0.52);  // "Limit Level", 0..22
  EXPECT_EQ(plug.GetParam(1)->Value(), 11.0);
  ASSERT_EQ(plug.reports.size(), 1u);
  EXPECT_EQ(plug.reports[0].first, 1);
  EXPECT_EQ(plug.reports[0].second, 0.52);
  EXPECT_EQ(plug.paramChanges, std::vector<int>{1});

  plug.SetParamFromEditor(13, 0.5);  // no such parameter
  EXPECT_EQ(plug.reports.size(), 1u);
}

TEST(IPlugBase, MutexIsReentrant) {
  TestPlug plug;
  PluginLock outer(plug.Mutex());
  plug.SetParamFromEditor(0, 1.0);  // locks again, and ParamChanged's default once more
  EXPECT_EQ(plug.GetParam(0)->Value(), 15.0);
}

// ---- Audio plumbing ----

namespace {
// Connects every channel with the binding's 64-bit wiring: inputs and outputs read and write
// caller-owned buffers.
struct Buffers {
  Buffers(TestPlug& plug, int nFrames) {
    in.assign(static_cast<size_t>(plug.NInChannels()), std::vector<double>(static_cast<size_t>(nFrames)));
    out.assign(static_cast<size_t>(plug.NOutChannels()), std::vector<double>(static_cast<size_t>(nFrames), -9.0));
    for (int i = 0; i < plug.NInChannels(); ++i) {
      for (int s = 0; s < nFrames; ++s) in[static_cast<size_t>(i)][static_cast<size_t>(s)] = 100.0 * (i + 1) + s;
      plug.InputPointers()[i] = in[static_cast<size_t>(i)].data();
    }
    for (int i = 0; i < plug.NOutChannels(); ++i) plug.OutputPointers()[i] = out[static_cast<size_t>(i)].data();
  }
  std::vector<std::vector<double>> in;
  std::vector<std::vector<double>> out;
};
}  // namespace

TEST(IPlugBase, DefaultProcessBlockCopiesMatchingChannelsAndZeroesTheRest) {
  {
    TestPlug plug("4-2", 0, false);
    Buffers b(plug, 3);
    plug.ProcessBlock(plug.InputPointers(), plug.OutputPointers(), 3);
    EXPECT_EQ(b.out[0], b.in[0]);
    EXPECT_EQ(b.out[1], b.in[1]);
  }
  {
    TestPlug plug("2-4", 0, false);
    Buffers b(plug, 3);
    plug.PassThroughBuffers(3);  // no latency: the same copy
    EXPECT_EQ(b.out[0], b.in[0]);
    EXPECT_EQ(b.out[1], b.in[1]);
    EXPECT_EQ(b.out[2], std::vector<double>(3, 0.0));
    EXPECT_EQ(b.out[3], std::vector<double>(3, 0.0));
  }
}

TEST(IPlugBase, PassThroughDelaysByTheLatency) {
  TestPlug plug("1-1", 0, false);
  plug.CreateLatencyDelay();
  plug.SetLatency(3);
  ASSERT_EQ(plug.GetLatencyDelay()->length, 3u);
  std::vector<double> in = {1, 2, 3, 4, 5};
  std::vector<double> out(5, -1.0);
  plug.InputPointers()[0] = in.data();
  plug.OutputPointers()[0] = out.data();
  plug.PassThroughBuffers(5);
  EXPECT_EQ(out, (std::vector<double>{0, 0, 0, 1, 2}));
  in = {6, 7};
  plug.PassThroughBuffers(2);  // the line carries over between blocks
  EXPECT_EQ(out[0], 3.0);
  EXPECT_EQ(out[1], 4.0);

  plug.SetLatency(0);  // back to a plain copy
  plug.PassThroughBuffers(2);
  EXPECT_EQ(out[0], 6.0);
}

TEST(IPlugBase, LatencyDelayLeavesOutputsBeyondItsChannelsUntouched) {
  TestPlug plug("2-4", 0, false);
  plug.CreateLatencyDelay();
  plug.SetLatency(1);
  Buffers b(plug, 2);
  plug.PassThroughBuffers(2);
  EXPECT_EQ(b.out[1], (std::vector<double>{0.0, b.in[1][0]}));
  EXPECT_EQ(b.out[2], std::vector<double>(2, -9.0));
}

TEST(IPlugBase, SetBlockSizeZeroesScratchOnlyOnChange) {
  TestPlug plug;
  plug.SetBlockSize(4);
  ASSERT_EQ(plug.GetInChannel(0)->scratch.Count(), 4);
  plug.GetInChannel(0)->scratch.Fill(5.0);
  plug.GetOutChannel(1)->scratch.Fill(6.0);
  plug.SetBlockSize(4);
  EXPECT_EQ(plug.GetInChannel(0)->scratch.Data()[3], 5.0);
  EXPECT_EQ(plug.GetOutChannel(1)->scratch.Data()[0], 6.0);
  plug.SetBlockSize(8);
  EXPECT_EQ(plug.GetBlockSize(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(plug.GetInChannel(0)->scratch.Data()[i], 0.0);
    EXPECT_EQ(plug.GetOutChannel(1)->scratch.Data()[i], 0.0);
  }
}

TEST(IPlugBase, SetBlockSizeBeyondTheBoundChangesNothing) {
  TestPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.GetInChannel(3)->scratch.Fill(5.0);
  for (int frames : {IPlugBase::kMaxBlockSize + 1, 0x7FFFFFFF, -1}) {
    EXPECT_FALSE(plug.SetBlockSize(frames)) << frames;
    EXPECT_EQ(plug.GetBlockSize(), 4);
    ASSERT_EQ(plug.GetInChannel(3)->scratch.Count(), 4);
    EXPECT_EQ(plug.GetInChannel(3)->scratch.Data()[3], 5.0);
  }
  EXPECT_TRUE(plug.SetBlockSize(IPlugBase::kMaxBlockSize));
  EXPECT_EQ(plug.GetOutChannel(1)->scratch.Count(), IPlugBase::kMaxBlockSize);
}

TEST(IPlugBase, SlotsOnScratchFollowAResizedBuffer) {
  TestPlug plug;
  plug.SetBlockSize(4);
  plug.SetInputChannelConnected(2, false);
  plug.SetOutputChannelConnected(0, true);
  plug.SetBlockSize(100000);
  EXPECT_EQ(plug.InputPointers()[2], plug.GetInChannel(2)->scratch.Data());
  EXPECT_EQ(plug.OutputPointers()[0], plug.GetOutChannel(0)->scratch.Data());
}

TEST(IPlugBase, AttachInputBuffersSkipsDisconnectedChannels) {
  TestPlug plug;
  plug.SetBlockSize(3);
  plug.SetInputChannelConnected(0, true);
  plug.SetInputChannelConnected(1, false);
  plug.SetInputChannelConnected(2, true);
  plug.SetInputChannelConnected(3, true);
  plug.GetInChannel(1)->scratch.Fill(-1.0);
  std::vector<float> a = {1, 2, 3}, b = {4, 5, 6}, c = {7, 8, 9};
  float* host[] = {a.data(), b.data(), c.data()};
  plug.AttachInputBuffers(0, 4, host, 3);
  EXPECT_EQ(plug.InputPointers()[0][2], 3.0);
  EXPECT_EQ(plug.InputPointers()[1], plug.GetInChannel(1)->scratch.Data());
  EXPECT_EQ(plug.InputPointers()[1][0], -1.0);
  EXPECT_EQ(plug.InputPointers()[2][0], 4.0);
  EXPECT_EQ(plug.InputPointers()[3][1], 8.0);

  // The sidechain pair from its own host pointers, starting at channel 2.
  float* side[] = {c.data(), a.data()};
  plug.AttachInputBuffers(2, 2, side, 3);
  EXPECT_EQ(plug.InputPointers()[2][0], 7.0);
  EXPECT_EQ(plug.InputPointers()[3][0], 1.0);
  EXPECT_EQ(plug.InputPointers()[0][0], 1.0);
}

TEST(IPlugBase, ZeroScratchAndCopyOutputToHost) {
  TestPlug plug;
  plug.SetBlockSize(2);
  plug.SetOutputChannelConnected(0, true);
  plug.SetOutputChannelConnected(1, false);
  float host0[2] = {-1, -1};
  float host1[2] = {-1, -1};
  plug.GetOutChannel(0)->floatDest = host0;
  plug.GetOutChannel(1)->floatDest = host1;
  plug.OutputPointers()[0][0] = 0.25;
  plug.OutputPointers()[0][1] = 1.0 / 3.0;
  plug.CopyOutputToHost(2);
  EXPECT_EQ(host0[0], 0.25f);
  EXPECT_EQ(host0[1], static_cast<float>(1.0 / 3.0));
  EXPECT_EQ(host1[0], -1.0f);

  plug.GetInChannel(3)->scratch.Fill(2.0);
  plug.ZeroScratchBuffers();
  EXPECT_EQ(plug.GetInChannel(3)->scratch.Data()[1], 0.0);
  EXPECT_EQ(plug.OutputPointers()[0][0], 0.0);
}

// ---- Trace points ----

namespace {
std::vector<std::string> gTraces;

__attribute__((format(printf, 3, 0))) void RecordTrace(const char* op, int line, const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof(text), format, args);
  gTraces.push_back(std::string(op) + "|" + text);
  EXPECT_GT(line, 0);
}

struct TraceCapture {
  TraceCapture() {
    gTraces.clear();
    SetTraceSink(RecordTrace);
  }
  ~TraceCapture() { SetTraceSink(nullptr); }
};
}  // namespace

namespace {
// Each '9' of the pattern stands for one digit; every other character stands for itself.
bool MatchesShape(const std::string& text, const std::string& pattern) {
  if (text.size() != pattern.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char p = pattern[i];
    const char c = text[i];
    if (p == '9' ? !std::isdigit(static_cast<unsigned char>(c)) : c != p) return false;
  }
  return true;
}

std::string ConstructorStampIn(const char* tz) {
  setenv("TZ", tz, 1);
  tzset();
  TraceCapture capture;
  TestPlug plug;
  unsetenv("TZ");
  tzset();
  const std::string prefix = "IPlugBase::IPlugBase|Velmora:";
  if (gTraces.empty() || gTraces[0].compare(0, prefix.size(), prefix) != 0) return "";
  return gTraces[0].substr(prefix.size());
}
}  // namespace

TEST(IPlugBase, ConstructorTraceStampsLocalTimeWithItsUtcOffset) {
  const std::string east = ConstructorStampIn("XST-05:30");  // POSIX signs are inverted: UTC+5:30
  EXPECT_TRUE(MatchesShape(east, "99999999 99:99 +0530")) << east;
  const std::string west = ConstructorStampIn("YST+03");
  EXPECT_TRUE(MatchesShape(west, "99999999 99:99 -0300")) << west;
}

TEST(IPlugBase, TracePoints) {
  TraceCapture capture;
  TestPlug plug;
  ASSERT_FALSE(gTraces.empty());
  EXPECT_EQ(gTraces[0].rfind("IPlugBase::IPlugBase|Velmora:", 0), 0u) << gTraces[0];
  // The default preset was captured through the state writer.
  EXPECT_EQ(gTraces[1], "IPlugBase::SerializeParams|0 Compressor Threshold 15.000000");
  EXPECT_EQ(gTraces.back(), "IPlugBase::SerializeParams|12 GR Select 0.000000");

  gTraces.clear();
  plug.LegalIO(4, 2);
  plug.LegalIO(1, 1);
  EXPECT_EQ(gTraces, (std::vector<std::string>{"IPlugBase::LegalIO|4:2:legal", "IPlugBase::LegalIO|1:1:illegal"}));

  gTraces.clear();
  StateChunk chunk;
  plug.SerializeState(chunk);
  plug.UnserializeState(chunk, 0);
  ASSERT_EQ(gTraces.size(), 26u);
  EXPECT_EQ(gTraces[14], "IPlugBase::UnserializeParams|1 Limit Level 22.000000");
}
