// Linked into every test program that loads mirotex.dll: the DLL is held
// loaded from before the first test to after the last, so that what one test
// leaves alive is still counted at the end, when DllCanUnloadNow must say
// S_OK (no object, no class object reference, no server lock left). A leak
// fails the program, not just a line in its output.
#include <gtest/gtest.h>

#include <memory>

#include "tests/module/loaded_module.h"

namespace {

class DllReleaseCheck final : public ::testing::Environment {
 public:
  void SetUp() override {
    module_ = std::make_unique<module_test::LoadedModule>();
    ASSERT_TRUE(module_->loaded()) << "cannot load the built DLL";
  }
  void TearDown() override {
    if (module_ && module_->loaded()) {
      EXPECT_EQ(S_OK, module_->CanUnloadNow()) << "objects of mirotex.dll were left alive at the end of the program";
    }
    module_.reset();
  }

 private:
  std::unique_ptr<module_test::LoadedModule> module_;
};

// gtest owns the environment; registered before main runs.
::testing::Environment* const kRegistered = ::testing::AddGlobalTestEnvironment(new DllReleaseCheck);

}  // namespace
