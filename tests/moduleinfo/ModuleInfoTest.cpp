// The module info in the bundle, read back as a host reads it and held against what the module's
// factory reports through its exports; and velmora-moduleinfo run on another module.
#include "bitmap/LICE_Png.h"
#include "tests/support/TempFolder.h"
#include "tools/vst3host/HostText.h"
#include "tools/vst3host/Module.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

using namespace Steinberg;
using Json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

Json ReadJson(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << path;
  return Json::parse(in, nullptr, false);
}

// On Linux the class id reads as its 16 bytes in order.
std::string HexBytes(const TUID cid) {
  std::string text;
  char byte[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned char>(cid[i]));
    text += byte;
  }
  return text;
}

std::string Field(const char* text, std::size_t size) { return vst3host::FieldText(text, size); }

TEST(ModuleInfo, BundleInfoIsWhatTheFactoryReports) {
  const std::string bundle = VELMORA_BUNDLE_DIR;
  const Json info = ReadJson(bundle + "/Contents/Resources/moduleinfo.json");
  ASSERT_FALSE(info.is_discarded());
  std::string error;
  const auto module = vst3host::Module::Load(bundle, &error);
  ASSERT_NE(module, nullptr) << error;
  IPluginFactory* factory = module->Factory();

  PFactoryInfo factoryInfo{};
  ASSERT_EQ(factory->getFactoryInfo(&factoryInfo), kResultOk);
  EXPECT_EQ(info["Name"], "Velmora");
  const Json& f = info["Factory Info"];
  EXPECT_EQ(f["Vendor"], Field(factoryInfo.vendor, PFactoryInfo::kNameSize));
  EXPECT_EQ(f["URL"], Field(factoryInfo.url, PFactoryInfo::kURLSize));
  EXPECT_EQ(f["E-Mail"], Field(factoryInfo.email, PFactoryInfo::kEmailSize));
  EXPECT_EQ(f["Flags"]["Unicode"], (factoryInfo.flags & PFactoryInfo::kUnicode) != 0);
  EXPECT_EQ(f["Flags"]["Classes Discardable"], (factoryInfo.flags & PFactoryInfo::kClassesDiscardable) != 0);
  EXPECT_EQ(f["Flags"]["Component Non Discardable"], (factoryInfo.flags & PFactoryInfo::kComponentNonDiscardable) != 0);
  EXPECT_EQ(f["Flags"].size(), 3u);
  EXPECT_EQ(info["Compatibility"], Json::array());

  FUnknownPtr<IPluginFactory2> factory2(factory);
  ASSERT_TRUE(factory2);
  ASSERT_EQ(info["Classes"].size(), static_cast<std::size_t>(factory->countClasses()));
  for (int32 i = 0; i < factory->countClasses(); ++i) {
    PClassInfo2 c{};
    ASSERT_EQ(factory2->getClassInfo2(i, &c), kResultOk);
    const Json& entry = info["Classes"][static_cast<std::size_t>(i)];
    const std::string id = HexBytes(c.cid);
    EXPECT_EQ(entry["CID"], id);
    EXPECT_EQ(entry["Category"], Field(c.category, PClassInfo::kCategorySize));
    EXPECT_EQ(entry["Name"], Field(c.name, PClassInfo::kNameSize));
    // The class has no vendor of its own: the factory's stands in, as hosts show it.
    EXPECT_EQ(Field(c.vendor, PClassInfo2::kVendorSize), "");
    EXPECT_EQ(entry["Vendor"], Field(factoryInfo.vendor, PFactoryInfo::kNameSize));
    EXPECT_EQ(entry["Version"], Field(c.version, PClassInfo2::kVersionSize));
    EXPECT_EQ(entry["SDKVersion"], Field(c.sdkVersion, PClassInfo2::kVersionSize));
    EXPECT_EQ(entry["Class Flags"], c.classFlags);
    EXPECT_EQ(entry["Cardinality"], c.cardinality);
    std::string joined;
    for (const Json& part : entry["Sub Categories"]) joined += (joined.empty() ? "" : "|") + part.get<std::string>();
    EXPECT_EQ(joined, Field(c.subCategories, PClassInfo2::kSubCategoriesSize));
    EXPECT_EQ(info["Version"], entry["Version"]);

    // The browser pictures: 1x and 2x of the editor, where the info says they are.
    const Json& snapshots = entry["Snapshots"];
    ASSERT_EQ(snapshots.size(), 2u);
    for (int scale : {1, 2}) {
      const Json& s = snapshots[static_cast<std::size_t>(scale - 1)];
      EXPECT_EQ(s["Scale Factor"], scale);
      EXPECT_EQ(s["Path"],
                "Contents/Resources/Snapshots/" + id + (scale == 1 ? "_snapshot.png" : "_snapshot_2.0x.png"));
      const std::unique_ptr<LICE_IBitmap> picture(
          DecodePngFile((bundle + "/" + s["Path"].get<std::string>()).c_str(), true));
      ASSERT_NE(picture, nullptr) << s;
      EXPECT_EQ(picture->Width(), 404 * scale);
      EXPECT_EQ(picture->Height(), 634 * scale);
    }
  }
}

int RunTool(const std::string& arguments, std::string* errors) {
  const TempFolder streams;
  const std::string command =
      std::string("'") + VELMORA_MODULEINFO_EXE + "' " + arguments + " 2> '" + streams.Path("err") + "'";
  const int status = std::system(command.c_str());
  std::ifstream err(streams.Path("err"));
  std::stringstream text;
  text << err.rdbuf();
  *errors = text.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Another module's factory, with plain class records and no pictures, described the same way;
// what is not a module is refused in one line, and no file appears.
TEST(ModuleInfo, ToolDescribesAnyModuleAndRefusesWhatIsNone) {
  const TempFolder temp;
  const fs::path bundle = fs::path(temp.Dir()) / "Gain.vst3";
  fs::create_directories(bundle / "Contents" / VELMORA_VST3_ARCH);
  fs::copy_file(HOST_TEST_GAIN_MODULE, bundle / "Contents" / VELMORA_VST3_ARCH / "Gain.so");
  std::string errors;
  ASSERT_EQ(RunTool("'" + bundle.string() + "'", &errors), 0) << errors;
  const Json info = ReadJson((bundle / "Contents/Resources/moduleinfo.json").string());
  EXPECT_EQ(info["Name"], "Gain");
  EXPECT_EQ(info["Factory Info"]["Vendor"], "Host Test");
  EXPECT_EQ(info["Factory Info"]["Flags"]["Classes Discardable"], false);
  ASSERT_EQ(info["Classes"].size(), 2u);
  EXPECT_EQ(info["Classes"][0]["Name"], "Test Gain");
  EXPECT_EQ(info["Classes"][1]["Category"], "Component Controller Class");
  EXPECT_EQ(info["Classes"][0]["Sub Categories"], Json::array());
  EXPECT_EQ(info["Classes"][0]["Snapshots"], Json::array());

  ASSERT_EQ(RunTool("'" + bundle.string() + "' --out '" + temp.Path("elsewhere.json") + "'", &errors), 0) << errors;
  EXPECT_EQ(ReadJson(temp.Path("elsewhere.json")), info);

  std::ofstream(temp.Path("fake.so")) << "not a module";
  EXPECT_EQ(RunTool("'" + temp.Path("fake.so") + "' --out '" + temp.Path("fake.json") + "'", &errors), 1);
  EXPECT_EQ(errors.rfind("velmora-moduleinfo: ", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_FALSE(fs::exists(temp.Path("fake.json")));
}

}  // namespace
