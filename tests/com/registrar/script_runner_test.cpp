#include <gtest/gtest.h>

#include "com/registrar/script_runner.h"
#include "tests/support/in_memory_registry.h"

namespace {

using registrar::RunMode;
using registrar::RunRegistryScriptText;
using registrar_test::InMemoryRegistry;

// The shape of a class registration: ProgID, NoRemove parent, ForceRemove
// class key with subkeys and a named value.
constexpr char16_t kClassScript[] =
    u"HKCR\n"
    u"{\n"
    u"  Prog.1 = s 'Prog Class' { CLSID = s '{C}' }\n"
    u"  NoRemove CLSID\n"
    u"  {\n"
    u"    ForceRemove {C} = s 'Prog Class'\n"
    u"    {\n"
    u"      ProgID = s 'Prog.1'\n"
    u"      InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Both' }\n"
    u"    }\n"
    u"  }\n"
    u"}\n";

const registrar::Replacements kModule = {{u"MODULE", u"C:\\m.dll"}};

class ScriptRunner : public testing::Test {
 protected:
  ScriptRunner() {
    registry.AddKey(u"CLSID\\{OTHER}");  // somebody else's class
    registry.SetValue(u"CLSID\\{OTHER}", u"", u"Other");
  }
  registrar::Status Run(std::u16string_view text, RunMode mode) {
    return RunRegistryScriptText(text, kModule, registry, mode);
  }
  InMemoryRegistry registry;
};

TEST_F(ScriptRunner, RegisterWritesEveryKeyAndValue) {
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  EXPECT_EQ(
      "HKCR\\CLSID\n"
      "HKCR\\CLSID\\{C}\n"
      "HKCR\\CLSID\\{C} [] = Prog Class\n"
      "HKCR\\CLSID\\{C}\\InprocServer32\n"
      "HKCR\\CLSID\\{C}\\InprocServer32 [] = C:\\m.dll\n"
      "HKCR\\CLSID\\{C}\\InprocServer32 [ThreadingModel] = Both\n"
      "HKCR\\CLSID\\{C}\\ProgID\n"
      "HKCR\\CLSID\\{C}\\ProgID [] = Prog.1\n"
      "HKCR\\CLSID\\{OTHER}\n"
      "HKCR\\CLSID\\{OTHER} [] = Other\n"
      "HKCR\\Prog.1\n"
      "HKCR\\Prog.1 [] = Prog Class\n"
      "HKCR\\Prog.1\\CLSID\n"
      "HKCR\\Prog.1\\CLSID [] = {C}\n",
      registry.Dump());
}

TEST_F(ScriptRunner, RegisterTwiceLeavesOneSetAndForceRemoveRebuildsTheClassKey) {
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  const std::string once = registry.Dump();
  // Left-overs of an older registration below the ForceRemove key vanish;
  // listed values are overwritten.
  registry.AddKey(u"CLSID\\{C}\\LocalServer32");
  registry.SetValue(u"CLSID\\{C}", u"Stale", u"1");
  registry.SetValue(u"Prog.1", u"", u"Old Description");
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  EXPECT_EQ(once, registry.Dump());
}

TEST_F(ScriptRunner, OrdinaryKeysKeepWhatOthersAddedToThem) {
  registry.SetValue(u"Prog.1", u"Extra", u"kept");
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  EXPECT_EQ(u"kept", registry.Value(u"Prog.1", u"Extra"));
  EXPECT_EQ(u"Prog Class", registry.Value(u"Prog.1"));
  // ... and that keeps nothing alive: values go with the key.
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kUnregister));
  EXPECT_FALSE(registry.HasKey(u"Prog.1"));
}

TEST_F(ScriptRunner, UnregisterRemovesEverythingButNoRemoveKeysAndForeignKeys) {
  const std::string before = registry.Dump();
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kUnregister));
  EXPECT_EQ(before, registry.Dump());
}

TEST_F(ScriptRunner, NoRemoveKeyStaysEvenWhenEmpty) {
  InMemoryRegistry empty;
  ASSERT_EQ(registrar::kOk, RunRegistryScriptText(kClassScript, kModule, empty, RunMode::kRegister));
  ASSERT_EQ(registrar::kOk, RunRegistryScriptText(kClassScript, kModule, empty, RunMode::kUnregister));
  EXPECT_EQ("HKCR\\CLSID\n", empty.Dump());
}

TEST_F(ScriptRunner, ForeignSubkeyKeepsAListedKeyAliveButItsListedPartsGo) {
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  registry.AddKey(u"CLSID\\{C}\\Implemented Categories");
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kUnregister));
  EXPECT_EQ(std::vector<std::u16string>{u"Implemented Categories"}, registry.SubkeyNames(u"CLSID\\{C}"));
  EXPECT_FALSE(registry.HasKey(u"Prog.1"));
  // The next registration starts that key afresh.
  ASSERT_EQ(registrar::kOk, Run(kClassScript, RunMode::kRegister));
  EXPECT_FALSE(registry.HasKey(u"CLSID\\{C}\\Implemented Categories"));
}

TEST_F(ScriptRunner, UnregisterDeletesListedValuesAndSkipsWhatIsMissing) {
  registry.SetValue(u"Keep", u"", u"default");
  registry.SetValue(u"Keep", u"Mine", u"x");
  registry.SetValue(u"Keep", u"Theirs", u"y");
  registry.AddKey(u"Keep\\Sub");
  ASSERT_EQ(registrar::kOk, Run(u"HKCR { NoRemove Keep { val Mine = s 'x' val Gone = s 'z' "
                                u"Absent { Deeper = s 'q' } } Missing { val V = s 'v' } }",
                                RunMode::kUnregister));
  EXPECT_FALSE(registry.Value(u"Keep", u"Mine").has_value());
  EXPECT_EQ(u"y", registry.Value(u"Keep", u"Theirs"));
  EXPECT_EQ(u"default", registry.Value(u"Keep"));
  EXPECT_TRUE(registry.HasKey(u"Keep\\Sub"));
}

TEST_F(ScriptRunner, UnregisterOfNothingRegisteredChangesNothing) {
  const std::string before = registry.Dump();
  EXPECT_EQ(registrar::kOk, Run(kClassScript, RunMode::kUnregister));
  EXPECT_EQ(before, registry.Dump());
}

TEST_F(ScriptRunner, ExistingReadOnlyKeyIsUsedForReadingOnly) {
  registry.DenyWrite(u"ReadOnly");
  registry.DenyWrite(u"ReadOnly2");
  // Nothing to write in it: fine; its subkeys cannot be created through it.
  EXPECT_EQ(registrar::kOk, Run(u"HKCR { ReadOnly }", RunMode::kRegister));
  EXPECT_EQ(registrar::kAccessDenied, Run(u"HKCR { ReadOnly2 = s 'x' }", RunMode::kRegister));
  EXPECT_EQ(registrar::kAccessDenied, Run(u"HKCR { ReadOnly { Sub } }", RunMode::kRegister));
  EXPECT_FALSE(registry.HasKey(u"ReadOnly\\Sub"));
}

TEST_F(ScriptRunner, FailingBlockIsTakenBackAndLaterBlocksDoNotRun) {
  const std::string before = registry.Dump();
  registry.DenyWrite(u"CLSID");  // the class key cannot be created below it
  EXPECT_EQ(registrar::kAccessDenied,
            Run(std::u16string(u"HKCU { Done = s 'yes' } ") + kClassScript + u" HKLM { Never }",
                RunMode::kRegister));
  EXPECT_EQ(u"yes", registry.Value(u"HKCU\\Done"));
  EXPECT_FALSE(registry.HasKey(u"HKLM\\Never"));
  EXPECT_FALSE(registry.HasKey(u"Prog.1"));
  EXPECT_FALSE(registry.HasKey(u"CLSID\\{C}"));
  ASSERT_EQ(registrar::kOk, Run(u"HKCU { Done }", RunMode::kUnregister));
  EXPECT_EQ(before, registry.Dump());
}

TEST_F(ScriptRunner, MalformedScriptWritesNothing) {
  const std::string before = registry.Dump();
  EXPECT_EQ(registrar::kSyntaxError, Run(u"HKCR { Written = s 'x' } HKCR { Broken = }", RunMode::kRegister));
  EXPECT_EQ(registrar::kSyntaxError, Run(u"HKCR { A = s '%UNKNOWN%' }", RunMode::kRegister));
  EXPECT_EQ(before, registry.Dump());
}

}  // namespace
