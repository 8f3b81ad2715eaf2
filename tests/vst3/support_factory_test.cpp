// CPluginFactory and the module entry points, through a module loaded from
// disk the way hosts load one.

#include "plugin_module.h"

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;

namespace
{

const FUID kGainClass(0x11111111, 0x22222222, 0x33333333, 0x44444444);
const FUID kFailingClass(0x55555555, 0x66666666, 0x77777777, 0x88888888);

class FactoryTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    module = PluginModule::Load(ModuleBinaryPath(TEST_GAIN_BUNDLE, "TestGain"), &error);
    ASSERT_NE(module, nullptr) << error;
    factory = module->Factory();
    ASSERT_EQ(factory->queryInterface(IPluginFactory3::iid, reinterpret_cast<void**>(&factory3)),
              kResultOk);
  }
  void TearDown() override
  {
    if (factory3) factory3->release();
  }

  int Probe(const char* name) const
  {
    auto probe = reinterpret_cast<int (*)()>(module->Symbol(name));
    return probe ? probe() : -1;
  }

  std::unique_ptr<PluginModule> module;
  IPluginFactory* factory = nullptr;
  IPluginFactory3* factory3 = nullptr;
};

TEST_F(FactoryTest, ModuleExportsItsEntryPoints)
{
  for (const std::string& name : ModuleExportNames())
    EXPECT_NE(module->Symbol(name.c_str()), nullptr) << name;
}

TEST_F(FactoryTest, ModuleFolderIsTheFolderOfTheModuleFile)
{
  auto folderProbe = reinterpret_cast<const char* (*)()>(module->Symbol("TestModuleFolder"));
  ASSERT_NE(folderProbe, nullptr);
  const std::string folder = folderProbe();
  ASSERT_FALSE(folder.empty());
  const char last = folder.back();
  EXPECT_TRUE(last == '/' || last == '\\') << folder;
  // Its last component is the folder the module file was loaded from.
  const std::string binary = ModuleBinaryPath(TEST_GAIN_BUNDLE, "TestGain");
  const std::string binaryFolder = binary.substr(0, binary.find_last_of('/'));
  const std::string expected = binaryFolder.substr(binaryFolder.find_last_of('/') + 1);
  const std::string trimmed = folder.substr(0, folder.size() - 1);
  EXPECT_EQ(trimmed.substr(trimmed.find_last_of("/\\") + 1), expected) << folder;
}

TEST_F(FactoryTest, PublishesFactoryInformation)
{
  PFactoryInfo info;
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Test Vendor");
  EXPECT_STREQ(info.url, "https://example.invalid");
  EXPECT_STREQ(info.email, "test@example.invalid");
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
  EXPECT_NE(factory->getFactoryInfo(nullptr), kResultOk);
}

TEST_F(FactoryTest, RefusesASecondClassUnderATakenIdentifier)
{
  EXPECT_EQ(factory->countClasses(), 2);
}

TEST_F(FactoryTest, ClassInformationAgreesInAllThreeForms)
{
  PClassInfo info;
  PClassInfo2 info2;
  PClassInfoW infoW;
  ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
  ASSERT_EQ(factory3->getClassInfo2(0, &info2), kResultOk);
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);

  EXPECT_TRUE(kGainClass == FUID::fromTUID(info.cid));
  EXPECT_EQ(std::memcmp(info.cid, info2.cid, sizeof(TUID)), 0);
  EXPECT_EQ(std::memcmp(info.cid, infoW.cid, sizeof(TUID)), 0);
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Test Gain");
  EXPECT_STREQ(info2.name, "Test Gain");
  EXPECT_STREQ(info2.subCategories, "Fx");
  EXPECT_STREQ(info2.version, "0.1.0");
  EXPECT_STREQ(infoW.category, "Audio Module Class");
  EXPECT_STREQ(infoW.subCategories, "Fx");
  const std::string expectedName = "Test Gain";
  for (size_t i = 0; i <= expectedName.size(); ++i)
    EXPECT_EQ(infoW.name[i], i < expectedName.size() ? expectedName[i] : 0) << i;
  EXPECT_EQ(infoW.version[0], '0');
  EXPECT_EQ(infoW.vendor[0], 0);

  // A class registered with the short record has empty extended fields.
  ASSERT_EQ(factory3->getClassInfo2(1, &info2), kResultOk);
  EXPECT_TRUE(kFailingClass == FUID::fromTUID(info2.cid));
  EXPECT_STREQ(info2.name, "Test Failing");
  EXPECT_STREQ(info2.subCategories, "");
}

TEST_F(FactoryTest, ClassIndexOutsideTheListIsRefused)
{
  PClassInfo info;
  PClassInfo2 info2;
  PClassInfoW infoW;
  for (int32 index : {-1, 2, 1000})
  {
    EXPECT_NE(factory->getClassInfo(index, &info), kResultOk);
    EXPECT_NE(factory3->getClassInfo2(index, &info2), kResultOk);
    EXPECT_NE(factory3->getClassInfoUnicode(index, &infoW), kResultOk);
  }
  EXPECT_NE(factory->getClassInfo(0, nullptr), kResultOk);
}

TEST_F(FactoryTest, AnswersOnlyFactoryInterfaces)
{
  void* obj = nullptr;
  EXPECT_EQ(factory->queryInterface(IPluginFactory2::iid, &obj), kResultOk);
  ASSERT_NE(obj, nullptr);
  static_cast<IPluginFactory2*>(obj)->release();
  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->queryInterface(Vst::IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST_F(FactoryTest, SecondGetPluginFactoryReturnsTheSameFactoryWithOneMoreReference)
{
  IPluginFactory* second = module->CallGetPluginFactory();
  EXPECT_EQ(second, factory);
  // The module holds one reference, factory3 one, the second call one.
  EXPECT_EQ(factory->addRef(), 4u);
  EXPECT_EQ(factory->release(), 3u);
  EXPECT_EQ(second->release(), 2u);
}

TEST_F(FactoryTest, HostContextIsAccepted)
{
  EXPECT_EQ(factory3->setHostContext(nullptr), kResultOk);
}

TEST_F(FactoryTest, CreatesIndependentInstancesAnsweringTheRequestedInterface)
{
  Vst::IComponent* first = nullptr;
  Vst::IAudioProcessor* second = nullptr;
  ASSERT_EQ(factory->createInstance(kGainClass.toTUID(), Vst::IComponent::iid,
                                    reinterpret_cast<void**>(&first)),
            kResultOk);
  ASSERT_EQ(factory->createInstance(kGainClass.toTUID(), Vst::IAudioProcessor::iid,
                                    reinterpret_cast<void**>(&second)),
            kResultOk);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Probe("TestLiveInstances"), 2);
  // Each holds exactly the caller's reference.
  first->release();
  EXPECT_EQ(Probe("TestLiveInstances"), 1);
  second->release();
  EXPECT_EQ(Probe("TestLiveInstances"), 0);
}

TEST_F(FactoryTest, UnknownClassOrInterfaceOrFailedConstructionGivesNone)
{
  void* obj = reinterpret_cast<void*>(1);
  const FUID unknownClass(1, 2, 3, 4);
  EXPECT_EQ(factory->createInstance(unknownClass.toTUID(), Vst::IComponent::iid, &obj),
            kNoInterface);
  EXPECT_EQ(obj, nullptr);

  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(kGainClass.toTUID(), IPlugView::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(Probe("TestLiveInstances"), 0) << "the refused instance must not leak";

  obj = reinterpret_cast<void*>(1);
  EXPECT_NE(factory->createInstance(kFailingClass.toTUID(), Vst::IComponent::iid, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);

  EXPECT_NE(factory->createInstance(kGainClass.toTUID(), Vst::IComponent::iid, nullptr), kResultOk);
}

TEST(PluginModuleLoad, MissingFileIsReportedNotFatal)
{
  std::string error;
  auto module =
      PluginModule::Load(ModuleBinaryPath(TEST_GAIN_BUNDLE "-missing", "TestGain"), &error);
  EXPECT_EQ(module, nullptr);
  EXPECT_FALSE(error.empty());
}

} // namespace
