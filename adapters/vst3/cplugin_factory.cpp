#include "cplugin_factory.h"

#include <cstring>
#include <new>

namespace Steinberg
{

IPluginFactory* gPluginFactory = nullptr;

IPluginFactory* SharedPluginFactory(const PFactoryInfo& info,
                                    void (*registerClasses)(CPluginFactory& factory))
{
  if (gPluginFactory)
  {
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  auto* factory = new (std::nothrow) CPluginFactory(info);
  if (!factory) return nullptr;
  registerClasses(*factory);
  gPluginFactory = factory;
  return factory;
}

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

CPluginFactory::~CPluginFactory()
{
  if (gPluginFactory == this) gPluginFactory = nullptr;
  if (hostContext) hostContext->release();
}

bool CPluginFactory::registerClass(const PClassInfo2& info, CreateFunction create, void* context)
{
  if (!create || isClassRegistered(info.cid)) return false;
  ClassEntry entry{info, PClassInfoW{}, create, context};
  entry.unicodeInfo.fromAscii(info);
  // Called from GetPluginFactory: running out of memory leaves the class
  // unregistered rather than throwing into the host.
  try
  {
    classes.push_back(entry);
  }
  catch (...)
  {
    return false;
  }
  return true;
}

bool CPluginFactory::registerClass(const PClassInfo& info, CreateFunction create, void* context)
{
  PClassInfo2 info2{};
  std::memcpy(info2.cid, info.cid, sizeof(TUID));
  info2.cardinality = info.cardinality;
  std::memcpy(info2.category, info.category, sizeof(info2.category));
  std::memcpy(info2.name, info.name, sizeof(info2.name));
  return registerClass(info2, create, context);
}

bool CPluginFactory::isClassRegistered(const TUID cid) const
{
  for (const ClassEntry& entry : classes)
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) == 0) return true;
  return false;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID interfaceId, void** obj)
{
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(interfaceId, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(interfaceId, IPluginFactory::iid) ||
      FUnknownPrivate::iidEqual(interfaceId, IPluginFactory2::iid) ||
      FUnknownPrivate::iidEqual(interfaceId, IPluginFactory3::iid))
  {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef()
{
  return ++refCount;
}

uint32 PLUGIN_API CPluginFactory::release()
{
  const uint32 remaining = --refCount;
  if (remaining == 0) delete this;
  return remaining;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
  if (!info) return kInvalidArgument;
  *info = factoryInfo;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
  return static_cast<int32>(classes.size());
}

const CPluginFactory::ClassEntry* CPluginFactory::entryAt(int32 index) const
{
  if (index < 0 || index >= static_cast<int32>(classes.size())) return nullptr;
  return &classes[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  *info = PClassInfo{};
  std::memcpy(info->cid, entry->info.cid, sizeof(TUID));
  info->cardinality = entry->info.cardinality;
  std::memcpy(info->category, entry->info.category, sizeof(info->category));
  std::memcpy(info->name, entry->info.name, sizeof(info->name));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  *info = entry->info;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
  const ClassEntry* entry = entryAt(index);
  if (!entry || !info) return kInvalidArgument;
  *info = entry->unicodeInfo;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString interfaceId, void** obj)
{
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !interfaceId) return kInvalidArgument;
  for (const ClassEntry& entry : classes)
  {
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) != 0) continue;
    FUnknown* instance = entry.create(entry.context);
    if (!instance) return kOutOfMemory;
    const tresult result = instance->queryInterface(interfaceId, obj);
    instance->release();
    if (result != kResultOk) *obj = nullptr;
    return result;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* context)
{
  if (context) context->addRef();
  if (hostContext) hostContext->release();
  hostContext = context;
  return kResultOk;
}

} // namespace Steinberg
