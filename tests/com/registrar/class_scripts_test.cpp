// The DLL's own registry scripts, run against the in-memory registry: the
// keys, values and order that registration of each class must produce.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "com/registrar/script_expansion.h"
#include "com/registrar/script_runner.h"
#include "tests/support/in_memory_registry.h"

namespace {

using registrar::RunMode;
using registrar_test::InMemoryRegistry;

constexpr char16_t kLibid[] = u"{FC6852A0-C145-4C08-ADB4-E84A16C4AF7E}";
constexpr char16_t kModulePath[] = u"C:\\Program Files\\O'Brien's\\mirotex.dll";

struct ClassScript {
  const char* file;
  std::u16string name;
  std::u16string clsid;
  std::u16string threadingModel;
};

const ClassScript kScripts[] = {
    {"cals_format.rgs", u"CalsFormat", u"{E59C7BCF-9B05-46E2-9B06-C4AEB4ED90C8}", u"Both"},
    {"cals_file.rgs", u"CalsFile", u"{3688BF44-63B5-49C4-8612-0502D0257366}", u"Apartment"},
    {"cals_preview.rgs", u"CalsPreview", u"{FA0C02FC-1CF7-4672-8FA0-E3432ACB9425}", u"Apartment"},
};

// The scripts are stored as 8-bit text; they hold ASCII only.
std::u16string ReadScript(const char* file) {
  std::ifstream in(std::string(MIROTEX_SOURCE_DIR) + "/module/" + file, std::ios::binary);
  EXPECT_TRUE(in) << file;
  std::u16string text;
  for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it) {
    const auto byte = static_cast<unsigned char>(*it);
    EXPECT_LT(byte, 0x80) << file;
    text.push_back(byte);
  }
  return text;
}

void PrintTo(const ClassScript& script, std::ostream* out) { *out << script.file; }

class ClassScripts : public testing::TestWithParam<ClassScript> {
 protected:
  ClassScripts() { registry.AddKey(u"CLSID"); }
  registrar::Status Run(RunMode mode) {
    return registrar::RunRegistryScriptText(ReadScript(GetParam().file), registrar::ModuleReplacements(kModulePath),
                                            registry, mode);
  }
  InMemoryRegistry registry;
};

TEST_P(ClassScripts, RegisterWritesTheClassProgIdsServerAndTypeLibrary) {
  const ClassScript& c = GetParam();
  ASSERT_EQ(registrar::kOk, Run(RunMode::kRegister));
  const std::u16string description = c.name + u" Class";
  const std::u16string progId = u"Mirotex." + c.name + u".1";
  const std::u16string independent = u"Mirotex." + c.name;
  const std::u16string key = u"CLSID\\" + c.clsid;

  EXPECT_EQ(description, registry.Value(progId));
  EXPECT_EQ(c.clsid, registry.Value(progId + u"\\CLSID"));
  EXPECT_EQ(description, registry.Value(independent));
  EXPECT_EQ(c.clsid, registry.Value(independent + u"\\CLSID"));
  EXPECT_EQ(progId, registry.Value(independent + u"\\CurVer"));
  EXPECT_EQ(description, registry.Value(key));
  EXPECT_EQ(progId, registry.Value(key + u"\\ProgID"));
  EXPECT_EQ(independent, registry.Value(key + u"\\VersionIndependentProgID"));
  EXPECT_EQ(kModulePath, registry.Value(key + u"\\InprocServer32"));  // quote written once
  EXPECT_EQ(c.threadingModel, registry.Value(key + u"\\InprocServer32", u"ThreadingModel"));
  EXPECT_EQ(kLibid, registry.Value(key + u"\\TypeLib"));
  EXPECT_EQ((std::vector<std::u16string>{u"InprocServer32", u"ProgID", u"TypeLib", u"VersionIndependentProgID"}),
            registry.SubkeyNames(key));
  // Nothing else: the ProgIDs, CLSID and the class key.
  EXPECT_EQ((std::vector<std::u16string>{u"CLSID", independent, progId}), registry.SubkeyNames(u""));
  EXPECT_EQ(std::vector<std::u16string>{c.clsid}, registry.SubkeyNames(u"CLSID"));
}

TEST_P(ClassScripts, UnregisterLeavesOnlyTheClsidKey) {
  ASSERT_EQ(registrar::kOk, Run(RunMode::kRegister));
  ASSERT_EQ(registrar::kOk, Run(RunMode::kUnregister));
  EXPECT_EQ("HKCR\\CLSID\n", registry.Dump());
}

INSTANTIATE_TEST_SUITE_P(EachClass, ClassScripts, testing::ValuesIn(kScripts),
                         [](const testing::TestParamInfo<ClassScript>& param) {
                           return std::string(param.param.name.begin(), param.param.name.end());
                         });

}  // namespace
