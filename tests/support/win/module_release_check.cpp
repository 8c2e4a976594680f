// Linked into every test program that creates the plug-in's objects in
// process: once the last test has run, every object, class object reference
// and server lock must be gone, that is the module's lock count back at 0.
// A leak fails the program (and so each ctest entry, which runs one test
// per program start), not just a line in its output.
#include <gtest/gtest.h>

#include "com/com_module.h"

namespace {

class ModuleReleaseCheck final : public ::testing::Environment {
 public:
  void TearDown() override {
    EXPECT_EQ(0, g_module.GetLockCount()) << "objects of the module were left alive at the end of the program";
  }
};

// gtest owns the environment; registered before main runs.
::testing::Environment* const kRegistered = ::testing::AddGlobalTestEnvironment(new ModuleReleaseCheck);

}  // namespace
