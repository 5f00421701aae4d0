// The module as a host first meets it: exports, factory information, the one class description,
// and the interfaces of a created instance.

#include "tests/vst3/Vst3TestSupport.h"

#include "tools/vst3host/ModuleLibrary.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
const uint8_t kVelmoraCid[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                 'C',  'v',  't',  'a',  'V',  'l',  'm',  '1'};

std::string Narrow16(const char16* text) { return Narrow(text); }

template <class I>
I* Query(FUnknown* object) {
  void* obj = nullptr;
  return object->queryInterface(I::iid, &obj) == kResultOk ? static_cast<I*>(obj) : nullptr;
}
}  // namespace

TEST(ModuleFactory, ExportsThePlatformEntryPointsAndNothingOfTheBinding) {
  vst3host::Module& module = VelmoraModule();
  EXPECT_NE(module.Symbol(vst3host::kModuleEntryName), nullptr);
  EXPECT_NE(module.Symbol(vst3host::kModuleExitName), nullptr);
  EXPECT_NE(module.Symbol("GetPluginFactory"), nullptr);
  EXPECT_EQ(module.Symbol("_Z18GetEffectClassInfov"), nullptr);
  EXPECT_EQ(module.Symbol("_ZN9IPlugVST37processERN9Steinberg3Vst11ProcessDataE"), nullptr);
  EXPECT_EQ(module.BinaryPath(), VELMORA_BINARY);
}

TEST(ModuleFactory, FactoryInfoNamesTheVendorAndIsUnicode) {
  PFactoryInfo info;
  ASSERT_EQ(VelmoraModule().Factory()->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Corvanta");
  EXPECT_EQ(info.flags, 16);
  EXPECT_EQ(VelmoraModule().Factory()->getFactoryInfo(nullptr), kInvalidArgument);
}

TEST(ModuleFactory, ClassDescriptionInAllThreeForms) {
  IPluginFactory* factory = VelmoraModule().Factory();
  ASSERT_EQ(factory->countClasses(), 1);

  PClassInfo plain;
  ASSERT_EQ(factory->getClassInfo(0, &plain), kResultOk);
  EXPECT_EQ(std::memcmp(plain.cid, kVelmoraCid, 16), 0);
  EXPECT_EQ(plain.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(plain.category, "Audio Module Class");
  EXPECT_STREQ(plain.name, "Velmora");

  IPtr<IPluginFactory2> factory2 = owned(Query<IPluginFactory2>(factory));
  ASSERT_TRUE(factory2);
  PClassInfo2 info2;
  ASSERT_EQ(factory2->getClassInfo2(0, &info2), kResultOk);
  EXPECT_EQ(std::memcmp(info2.cid, kVelmoraCid, 16), 0);
  EXPECT_EQ(info2.classFlags, 2u);
  EXPECT_STREQ(info2.subCategories, "Fx|Dynamics");
  EXPECT_STREQ(info2.vendor, "");
  EXPECT_STREQ(info2.version, "1.1.0");
  EXPECT_STREQ(info2.sdkVersion, "VST 3.6.12");

  IPtr<IPluginFactory3> factory3 = owned(Query<IPluginFactory3>(factory));
  ASSERT_TRUE(factory3);
  PClassInfoW infoW;
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(std::memcmp(infoW.cid, kVelmoraCid, 16), 0);
  EXPECT_EQ(Narrow16(infoW.name), "Velmora");
  EXPECT_EQ(Narrow16(infoW.version), "1.1.0");
  EXPECT_EQ(Narrow16(infoW.sdkVersion), "VST 3.6.12");
  EXPECT_EQ(Narrow16(infoW.vendor), "");
  EXPECT_STREQ(infoW.subCategories, "Fx|Dynamics");

  // Index out of range or no record to fill.
  EXPECT_EQ(factory->getClassInfo(1, &plain), kInvalidArgument);
  EXPECT_EQ(factory->getClassInfo(-1, &plain), kInvalidArgument);
  EXPECT_EQ(factory->getClassInfo(0, nullptr), kInvalidArgument);
  EXPECT_EQ(factory2->getClassInfo2(1, &info2), kInvalidArgument);
  EXPECT_EQ(factory3->getClassInfoUnicode(1, &infoW), kInvalidArgument);
}

TEST(ModuleFactory, SecondGetPluginFactoryReturnsTheSameFactoryWithOneMoreReference) {
  using GetFactory = IPluginFactory* (*)();
  auto getFactory = reinterpret_cast<GetFactory>(VelmoraModule().Symbol("GetPluginFactory"));
  IPluginFactory* first = getFactory();
  ASSERT_EQ(first, VelmoraModule().Factory());
  // The module keeps one reference, this call took a second; addRef reports the count.
  EXPECT_EQ(first->addRef(), 3u);
  first->release();
  IPluginFactory* second = getFactory();
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->release(), 2u);
  EXPECT_EQ(first->release(), 1u);

  void* obj = nullptr;
  EXPECT_EQ(first->queryInterface(IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(ModuleFactory, CreateInstanceRefusesOtherClassIds) {
  TUID other;
  std::memcpy(other, kVelmoraCid, 16);
  other[15] = '2';
  void* obj = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(VelmoraModule().Factory()->createInstance(other, IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(ModuleFactory, OneObjectIsComponentProcessorControllerAndUnitInfo) {
  TUID cid;
  std::memcpy(cid, kVelmoraCid, 16);
  void* obj = nullptr;
  ASSERT_EQ(VelmoraModule().Factory()->createInstance(cid, IComponent::iid, &obj), kResultOk);
  IPtr<IComponent> component = owned(static_cast<IComponent*>(obj));

  IPtr<IAudioProcessor> processor = owned(Query<IAudioProcessor>(component));
  IPtr<IEditController> controller = owned(Query<IEditController>(component));
  IPtr<IEditController2> controller2 = owned(Query<IEditController2>(component));
  IPtr<IUnitInfo> units = owned(Query<IUnitInfo>(component));
  IPtr<IPluginBase> base = owned(Query<IPluginBase>(component));
  ASSERT_TRUE(processor && controller && controller2 && units && base);

  // Every interface leads back to the same object.
  IPtr<FUnknown> identity = owned(Query<FUnknown>(component));
  IPtr<FUnknown> fromController = owned(Query<FUnknown>(controller));
  IPtr<FUnknown> fromUnits = owned(Query<FUnknown>(units));
  EXPECT_EQ(identity.get(), fromController.get());
  EXPECT_EQ(identity.get(), fromUnits.get());
  IPtr<IComponent> back = owned(Query<IComponent>(units));
  EXPECT_EQ(back.get(), component.get());

  // Single component: no connection point to a separate controller.
  EXPECT_EQ(Query<IConnectionPoint>(component), nullptr);
  TUID ignored;
  EXPECT_EQ(component->getControllerClassId(ignored), kNotImplemented);
}
