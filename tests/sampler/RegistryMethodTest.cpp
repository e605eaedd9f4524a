#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Exception.h"
#include "tests/sampler/SamplerTestSupport.h"

namespace {

const std::wstring kStartStat = L"PerfStats\\StartStat";
const std::wstring kStatData = L"PerfStats\\StatData";
const std::wstring kStopStat = L"PerfStats\\StopStat";
const std::wstring kCpuUsage = L"KERNEL\\CPUUsage";

const std::vector<unsigned char> kStarted{1, 0, 0, 0};
const std::vector<unsigned char> kDword{7, 0, 0, 0};

// A dynamic registry of our own: the sampler is pointed at a scratch key and takes the
// registry method, as on a system without ntdll.
class RegistryMethod : public ::testing::Test {
protected:
  void SetUp() override {
    TFakeKernel::Reset();
    ASSERT_TRUE(Root);
  }
  TTestSampler MakeSampler() { return TTestSampler(nullptr, &TTestSampler::NoQuery, Root.Get()); }
  void SetUsage(const std::vector<unsigned char>& data, DWORD type = REG_BINARY) {
    Root.Set(kStatData, kCpuUsage, type, data);
  }
  std::wstring InvalidDataType() const { return InvalidDataTypeMessage(kCpuUsage); }

  TScratchKey Root;
};

TEST_F(RegistryMethod, NoKernelQueryOrAFailingBasicQueryChoosesTheRegistryForGood) {
  Root.Set(kStartStat, kCpuUsage, REG_BINARY, kStarted);
  SetUsage({37, 0, 0, 0});
  const struct {
    const char* what;
    TTestSampler::TQueryFinder findQuery;
    LONG basicStatus;
  } cases[] = {
      {"no NtQuerySystemInformation", &TTestSampler::NoQuery, 0},
      {"the basic query fails", &TTestSampler::FakeKernel, static_cast<LONG>(0xC0000001)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeKernel::Reset();
    TFakeKernel::BasicStatus = c.basicStatus;
    TFakeKernel::IdleTime = 1;
    TTestSampler sampler(nullptr, c.findQuery, Root.Get());
    // The library is let go as soon as it is of no use.
    EXPECT_FALSE(sampler.UsesKernelCounters());
    TFakeKernel::BasicStatus = 0;
    EXPECT_EQ(sampler.GetUsage(), 37);
    EXPECT_EQ(sampler.GetUsage(), 37);
    EXPECT_EQ(sampler.GetNtUsage(), 0);
    // The kernel is never asked for the counters.
    EXPECT_LE(TFakeKernel::Classes.size(), 1u);
  }
}

TEST_F(RegistryMethod, WithoutAStartKeyTheFirstSampleIs0AndLaterOnesGoStraightToTheFigure) {
  SetUsage({42, 0, 0, 0});
  TTestSampler sampler = MakeSampler();
  EXPECT_EQ(sampler.GetUsage(), 0);
  EXPECT_TRUE(sampler.HasRegistry());
  // A start key that appears now is never read: its value would be refused.
  Root.Set(kStartStat, kCpuUsage, REG_DWORD, kDword);
  EXPECT_EQ(sampler.GetUsage(), 42);
  EXPECT_EQ(sampler.GetUsage(), 42);
}

TEST_F(RegistryMethod, TheFigureIsTheLowByteOfAFourByteValueReadAfreshEachSample) {
  Root.Set(kStartStat, kCpuUsage, REG_BINARY, kStarted);
  SetUsage({0x25, 0x01, 0x02, 0x03});
  TTestSampler sampler = MakeSampler();
  EXPECT_EQ(sampler.GetUsage(), 0x25);
  SetUsage({0x40, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(sampler.GetUsage(), 0x40);
  // Types other than text and DWORD count as binary.
  SetUsage({0x11, 0, 0, 0}, REG_NONE);
  EXPECT_EQ(sampler.GetUsage(), 0x11);
}

TEST_F(RegistryMethod, AFigureOfAnotherSizeOrNoFigureAtAllGives0WithoutAnError) {
  Root.Set(kStartStat, kCpuUsage, REG_BINARY, kStarted);
  TTestSampler sampler = MakeSampler();
  EXPECT_EQ(sampler.GetUsage(), 0) << "no StatData key";
  Root.CreateKey(kStatData);
  EXPECT_EQ(sampler.GetUsage(), 0) << "no value";
  for (const std::vector<unsigned char>& data : std::vector<std::vector<unsigned char>>{
           {}, {50, 0, 0}, {50, 0, 0, 0, 0}, {50, 0, 0, 0, 0, 0, 0, 0}}) {
    SetUsage(data);
    EXPECT_EQ(sampler.GetUsage(), 0) << data.size() << " bytes";
  }
}

TEST_F(RegistryMethod, StartKeyWithoutAValueStartsNothingAndSamplesGoOn) {
  Root.CreateKey(kStartStat);
  SetUsage({9, 0, 0, 0});
  TTestSampler sampler = MakeSampler();
  EXPECT_EQ(sampler.GetUsage(), 9);
}

TEST_F(RegistryMethod, ARefusedValueReachesTheCallerWithItsName) {
  const struct {
    const char* what;
    std::wstring key;
    DWORD type;
    std::vector<unsigned char> data;
  } cases[] = {
      {"a DWORD figure", kStatData, REG_DWORD, kDword},
      // L"4" with its terminator: four bytes, however the registry counts a text.
      {"a text figure", kStatData, REG_SZ, {'4', 0, 0, 0}},
      {"a five-byte start value", kStartStat, REG_BINARY, {1, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TScratchKey root;
    root.Set(kStartStat, kCpuUsage, REG_BINARY, kStarted);
    root.Set(kStatData, kCpuUsage, REG_BINARY, {5, 0, 0, 0});
    root.Set(c.key, kCpuUsage, c.type, c.data);
    TTestSampler sampler(nullptr, &TTestSampler::NoQuery, root.Get());
    try {
      sampler.GetUsage();
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), InvalidDataType());
    }
  }
}

TEST_F(RegistryMethod, AfterAFailedStartTheSamplesReadTheFigure) {
  Root.Set(kStartStat, kCpuUsage, REG_BINARY, {1, 0, 0, 0, 0});
  SetUsage({61, 0, 0, 0});
  TTestSampler sampler = MakeSampler();
  EXPECT_THROW(sampler.GetUsage(), Exception);
  EXPECT_EQ(sampler.GetUsage(), 61);
}

struct TWitness : TComponent {
  TWitness(TComponent* owner, bool* destroyed) : TComponent(owner), FDestroyed(destroyed) {}
  ~TWitness() override { *FDestroyed = true; }
  bool* FDestroyed;
};

TEST_F(RegistryMethod, TheStopKeyIsReadAtTheEndAndItsErrorIsOnlyReported) {
  const struct {
    const char* what;
    bool started;
  } cases[] = {{"collection started", true}, {"the start key never opened", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TScratchKey root;
    if (c.started) root.Set(kStartStat, kCpuUsage, REG_BINARY, kStarted);
    root.Set(kStatData, kCpuUsage, REG_BINARY, {5, 0, 0, 0});
    root.Set(kStopStat, kCpuUsage, REG_DWORD, kDword);
    TDebuggerOutput debugger;
    bool witnessDestroyed = false;
    {
      TComponent owner(nullptr);
      owner.Create<TWitness>(&witnessDestroyed);
      auto& sampler = owner.Create<TTestSampler>(&TTestSampler::NoQuery, root.Get());
      sampler.GetUsage();
    }
    EXPECT_TRUE(witnessDestroyed);
    EXPECT_EQ(TDebuggerOutput::Texts(),
              std::vector<std::wstring>{TDebuggerOutput::AsReported(InvalidDataType())});
  }
}

TEST_F(RegistryMethod, WithoutASampleNoRegistryIsTouchedAtTheEnd) {
  Root.Set(kStopStat, kCpuUsage, REG_DWORD, kDword);
  TDebuggerOutput debugger;
  { TTestSampler sampler = MakeSampler(); }
  EXPECT_TRUE(TDebuggerOutput::Texts().empty());
}

}  // namespace
