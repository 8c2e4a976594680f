#include <gtest/gtest.h>

#include <string>

#include "com/registrar/script_parser.h"

namespace {

using registrar::KeyNode;
using registrar::ParseRegistryScript;
using registrar::RegistryScript;
using registrar::RootKey;

TEST(ScriptParser, ReadsKeysValuesAndFlagsInScriptOrder) {
  RegistryScript script;
  ASSERT_EQ(registrar::kOk, ParseRegistryScript(u"HKCR\n"
                                                u"{\n"
                                                u"  Prog.1 = s 'Prog Class' { CLSID = s '{0-1}' }\n"
                                                u"  NoRemove CLSID\n"
                                                u"  {\n"
                                                u"    ForceRemove {0-1} = s 'It''s'\n"
                                                u"    {\n"
                                                u"      InprocServer32 = s 'C:\\x.dll' { val ThreadingModel = s 'Both' }\n"
                                                u"      'TypeLib' = s '{LIB}'\n"
                                                u"    }\n"
                                                u"  }\n"
                                                u"}\n",
                                                &script));
  ASSERT_EQ(1u, script.blocks.size());
  EXPECT_EQ(RootKey::kClassesRoot, script.blocks[0].root);
  const auto& keys = script.blocks[0].keys;
  ASSERT_EQ(2u, keys.size());
  EXPECT_EQ(u"Prog.1", keys[0].name);
  EXPECT_EQ(u"Prog Class", keys[0].defaultValue.value());
  ASSERT_EQ(1u, keys[0].subkeys.size());
  EXPECT_EQ(u"{0-1}", keys[0].subkeys[0].defaultValue.value());

  const KeyNode& clsid = keys[1];
  EXPECT_TRUE(clsid.noRemove);
  EXPECT_FALSE(clsid.forceRemove);
  EXPECT_FALSE(clsid.defaultValue.has_value());
  ASSERT_EQ(1u, clsid.subkeys.size());
  const KeyNode& cls = clsid.subkeys[0];
  EXPECT_EQ(u"{0-1}", cls.name);  // a braced word is a name, not a block
  EXPECT_TRUE(cls.forceRemove);
  EXPECT_EQ(u"It's", cls.defaultValue.value());
  ASSERT_EQ(2u, cls.subkeys.size());
  EXPECT_EQ(u"InprocServer32", cls.subkeys[0].name);
  ASSERT_EQ(1u, cls.subkeys[0].values.size());
  EXPECT_EQ(u"ThreadingModel", cls.subkeys[0].values[0].name);
  EXPECT_EQ(u"Both", cls.subkeys[0].values[0].text);
  EXPECT_TRUE(cls.subkeys[0].subkeys.empty());
  EXPECT_EQ(u"TypeLib", cls.subkeys[1].name);
}

TEST(ScriptParser, KeywordsIgnoreCaseButOnlyWhenUnquoted) {
  RegistryScript script;
  ASSERT_EQ(registrar::kOk,
            ParseRegistryScript(u"hkey_local_machine { noremove A { VAL v = S 'x' 'val' = s 'k' } }"
                                u" HKCU { 'NoRemove' }",
                                &script));
  ASSERT_EQ(2u, script.blocks.size());
  EXPECT_EQ(RootKey::kLocalMachine, script.blocks[0].root);
  const KeyNode& a = script.blocks[0].keys.at(0);
  EXPECT_TRUE(a.noRemove);
  ASSERT_EQ(1u, a.values.size());
  EXPECT_EQ(u"v", a.values[0].name);
  ASSERT_EQ(1u, a.subkeys.size());
  EXPECT_EQ(u"val", a.subkeys[0].name);
  EXPECT_EQ(u"k", a.subkeys[0].defaultValue.value());
  EXPECT_EQ(RootKey::kCurrentUser, script.blocks[1].root);
  EXPECT_EQ(u"NoRemove", script.blocks[1].keys.at(0).name);
  EXPECT_FALSE(script.blocks[1].keys.at(0).noRemove);
}

TEST(ScriptParser, EqualsNeedsNoSurroundingSpace) {
  RegistryScript script;
  ASSERT_EQ(registrar::kOk, ParseRegistryScript(u"HKCR { A=s 'x' B =s y }", &script));
  EXPECT_EQ(u"x", script.blocks[0].keys.at(0).defaultValue.value());
  EXPECT_EQ(u"y", script.blocks[0].keys.at(1).defaultValue.value());
}

TEST(ScriptParser, EmptyScriptHasNoBlocks) {
  RegistryScript script;
  EXPECT_EQ(registrar::kOk, ParseRegistryScript(u"  \r\n\t ", &script));
  EXPECT_TRUE(script.blocks.empty());
}

TEST(ScriptParser, MalformedScriptsAreRejectedAndLeaveNothing) {
  const char16_t* malformed[] = {
      u"HKXX { A }",                         // unknown root
      u"{ A }",                              // no root
      u"HKCR A",                             // no block
      u"HKCR { A",                           // unclosed block
      u"HKCR { A { B }",                     // unclosed subkey block
      u"HKCR { val V = s 'x' }",             // value on a root key
      u"HKCR { A { val V s 'x' } }",         // value without "="
      u"HKCR { A { val V = } }",             // value without type
      u"HKCR { A = d '1' }",                 // type the scripts do not use
      u"HKCR { A = s }",                     // type without string
      u"HKCR { '' = s 'x' }",                // empty key name
      u"HKCR { 'A\\B' }",                    // key path instead of a name
      u"HKCR { A = s 'unclosed }",           // quote never closed
      u"HKCR { = s 'x' }",                   // no key name
      u"HKCR { NoRemove }",                  // flag without name
      u"HKCR { NoRemove ForceRemove A }",    // two flags
      u"HKCR { A } }",                       // stray brace
  };
  for (const char16_t* text : malformed) {
    RegistryScript script;
    script.blocks.resize(1);
    EXPECT_EQ(registrar::kSyntaxError, ParseRegistryScript(text, &script))
        << std::string(std::u16string_view(text).begin(), std::u16string_view(text).end());
    EXPECT_TRUE(script.blocks.empty());
  }
}

TEST(ScriptParser, OverlongKeyNameAndDeepNestingAreRejected) {
  RegistryScript script;
  const std::u16string longName(256, u'k');
  EXPECT_EQ(registrar::kSyntaxError, ParseRegistryScript(u"HKCR { " + longName + u" }", &script));
  EXPECT_EQ(registrar::kOk, ParseRegistryScript(u"HKCR { " + longName.substr(1) + u" }", &script));

  std::u16string deep = u"HKCR { ";
  for (int i = 0; i < 200; ++i) deep += u"K { ";
  for (int i = 0; i < 200; ++i) deep += u"} ";
  deep += u"}";
  EXPECT_EQ(registrar::kSyntaxError, ParseRegistryScript(deep, &script));
}

}  // namespace
