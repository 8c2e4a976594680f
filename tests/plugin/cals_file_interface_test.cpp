// The opened-file object's identity: which interfaces it answers.
#include <gtest/gtest.h>

#include "plugin/cals_file.h"
#include "tests/plugin/cals_file_fixture.h"
#include "tests/plugin/interface_checks.h"

namespace {

class CalsFileInterfaceTest : public ::testing::Test {
 protected:
  testing_support::ComApartment apartment_;
};

TEST_F(CalsFileInterfaceTest, AnswersItsOwnAndTheNavigatorInterfaceOnly) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFile>(nullptr, IID_IUnknown, unknown.put_void()));
  ASSERT_NO_FATAL_FAILURE(interface_checks::ExpectInterfaces(
      unknown.get(), IID_ICalsFile, {&IID_IOrvFileNavigator},
      {&IID_IMarshal, &IID_IDispatch, &IID_IOrvFileFormat, &IID_ICalsFormat, &IID_IOrvFilePreview,
       &IID_IClassFactory}));
  EXPECT_EQ(E_POINTER, unknown->QueryInterface(IID_IUnknown, nullptr));
}

}  // namespace
