#include "framework/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TRecorder : TComponent {
  struct TSettings {
    std::string Name;
  };
  TRecorder(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), FLog(log) {}
  explicit TRecorder(TComponent* owner) : TComponent(owner) {}
  ~TRecorder() override {
    if (FLog) FLog->push_back("destroy " + FName);
  }
  void ApplySettings(const TSettings& settings) { FName = settings.Name; }
  void Loaded() override {
    if (FLog) FLog->push_back("loaded " + FName);
  }
  std::vector<std::string>* FLog = nullptr;
  std::string FName;
};

struct TOwner : TComponent {
  using TComponent::LoadComponents;
  TOwner() : TComponent(nullptr) {}
};

TEST(Component, OwnerDestroysItsComponentsInReverseOrderOfCreation) {
  std::vector<std::string> log;
  {
    TOwner owner;
    for (const char* name : {"first", "second", "third"})
      owner.Create<TRecorder>(&log).FName = name;
    EXPECT_EQ(owner.ComponentCount(), 3u);
    EXPECT_EQ(owner.Component(0).Owner(), &owner);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"destroy third", "destroy second", "destroy first"}));
}

TEST(Component, SettingsAreAppliedAtCreationAndLoadedRunsOnceAllExist) {
  TOwner owner;
  std::vector<std::string> log;
  auto& first = owner.Create<TRecorder>(TRecorder::TSettings{"a"});
  auto& second = owner.Create<TRecorder>(TRecorder::TSettings{"b"});
  EXPECT_EQ(first.FName, "a");
  EXPECT_EQ(second.FName, "b");
  first.FLog = second.FLog = &log;
  owner.LoadComponents();
  EXPECT_EQ(log, (std::vector<std::string>{"loaded a", "loaded b"}));
  first.FLog = second.FLog = nullptr;
}

}  // namespace
