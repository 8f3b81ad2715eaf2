#include "plugin_module.h"

using Steinberg::IPluginFactory;

using GetFactoryProc = IPluginFactory*(PLUGIN_API*)();

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string* error)
{
  std::unique_ptr<PluginModule> module(new PluginModule(path));
  if (!module->mLibrary.IsLoaded())
  {
    *error = "cannot load " + path + ": " + module->mLibrary.LoadError();
    return nullptr;
  }
  module->mEntered = module->Enter();
  if (!module->mEntered)
  {
    *error = "the module's entry point failed: " + path;
    return nullptr;
  }
  module->mFactory = module->CallGetPluginFactory();
  if (!module->mFactory)
  {
    *error = "GetPluginFactory is missing or returned none: " + path;
    return nullptr;
  }
  return module;
}

PluginModule::~PluginModule()
{
  if (mFactory) mFactory->release();
  if (mEntered) Exit();
}

IPluginFactory* PluginModule::CallGetPluginFactory() const
{
  auto getFactory = reinterpret_cast<GetFactoryProc>(Symbol("GetPluginFactory"));
  return getFactory ? getFactory() : nullptr;
}
