#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <vector>

// Kept in the SDK's namespace: this class stands in for the SDK class of the
// same name, which the SDK sources available to us leave out.
namespace Steinberg
{

// A module's class factory: publishes the factory information and one class
// information record per registered class, and creates instances of those
// classes. It is reference counted; when the last reference goes it deletes
// itself and clears gPluginFactory if that pointed at it.
//
// Thread contract: classes are registered before the factory is handed out;
// after that every method only reads, so hosts may call from any thread.
class CPluginFactory : public IPluginFactory3
{
public:
  // Makes a new instance with one reference for the caller, or null.
  using CreateFunction = FUnknown* (*)(void* context);

  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory();
  CPluginFactory(const CPluginFactory&) = delete;
  CPluginFactory& operator=(const CPluginFactory&) = delete;

  // Adds a class; false when create is null or the class identifier is taken.
  bool registerClass(const PClassInfo2& info, CreateFunction create, void* context = nullptr);
  bool registerClass(const PClassInfo& info, CreateFunction create, void* context = nullptr);
  bool isClassRegistered(const TUID cid) const;

  // FUnknown
  tresult PLUGIN_API queryInterface(const TUID interfaceId, void** obj) SMTG_OVERRIDE;
  uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  uint32 PLUGIN_API release() SMTG_OVERRIDE;

  // IPluginFactory
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
  int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
  // Creates the class cid and answers its interface interfaceId with one reference.
  tresult PLUGIN_API createInstance(FIDString cid, FIDString interfaceId, void** obj) SMTG_OVERRIDE;

  // IPluginFactory2
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;

  // IPluginFactory3
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
  tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

  // The host context last given, without a reference, or null.
  FUnknown* getHostContext() const { return hostContext; }

private:
  struct ClassEntry
  {
    PClassInfo2 info;
    PClassInfoW unicodeInfo;
    CreateFunction create;
    void* context;
  };

  const ClassEntry* entryAt(int32 index) const;

  std::atomic<uint32> refCount{1};
  PFactoryInfo factoryInfo;
  std::vector<ClassEntry> classes;
  FUnknown* hostContext = nullptr;
};

// The module's factory while it exists (GetPluginFactory shares it).
extern IPluginFactory* gPluginFactory;

// What GetPluginFactory answers: the existing factory with one more
// reference, or else a new factory with info whose classes registerClasses
// adds, which becomes gPluginFactory. Not locked: hosts make their first call
// before they use the module from other threads.
IPluginFactory* SharedPluginFactory(const PFactoryInfo& info,
                                    void (*registerClasses)(CPluginFactory& factory));

} // namespace Steinberg
