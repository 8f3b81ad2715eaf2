#pragma once

// The CLAP test host: the built Thudwerk.clap loaded once per program, and
// per test a host that records every call the plug-in makes and fails the
// test when one breaks its thread rule.

#include "clap_events.h"
#include "clap_host.h"
#include "clap_instance.h"
#include "clap_module.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

constexpr int kClapParamCount = 27;

inline const ClapModule& ThudwerkModule()
{
  static std::unique_ptr<ClapModule> module = []
  {
    std::string error;
    auto loaded = ClapModule::Load(THUDWERK_CLAP_PATH, &error);
    EXPECT_TRUE(loaded) << error;
    return loaded;
  }();
  return *module;
}

// A plug-in extension the test needs (a failure when it is missing).
template <typename Extension>
const Extension& Ext(ClapInstance& instance, const char* id)
{
  const Extension* extension = instance.Get<Extension>(id);
  EXPECT_NE(extension, nullptr) << id;
  return *extension;
}

// A parameter's value as clap.params reports it.
inline double Value(ClapInstance& instance, clap_id id)
{
  double value = -1.0;
  EXPECT_TRUE(
      Ext<clap_plugin_params_t>(instance, kClapExtParams).get_value(instance.Plugin(), id, &value));
  return value;
}

class ClapFixture : public ::testing::Test
{
protected:
  explicit ClapFixture(ClapHostOptions options = {}) : host(options) {}

  void TearDown() override
  {
    instances.clear();
    for (const std::string& violation : host.Violations())
      ADD_FAILURE() << violation;
  }

  // A new initialized instance on this test's host.
  ClapInstance& NewInstance()
  {
    std::string error;
    auto instance = ClapInstance::Create(ThudwerkModule(), host, nullptr, &error);
    EXPECT_TRUE(instance) << error;
    instances.push_back(std::move(instance));
    return *instances.back();
  }

  ClapHost host;
  std::vector<std::unique_ptr<ClapInstance>> instances;
};
