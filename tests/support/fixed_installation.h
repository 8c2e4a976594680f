// An installation whose shared folder is whatever the test says (empty:
// the folder is unknown).
#pragma once

#include <string>
#include <utility>

#include "cals/installation.h"

namespace testing_support {

class FixedInstallation final : public cals::InstallationLocator {
 public:
  explicit FixedInstallation(std::u16string folder = u"C:\\Shared\\") : folder_(std::move(folder)) {}
  std::u16string SharedFolder() override {
    ++asked_;
    return folder_;
  }
  void set_folder(std::u16string folder) { folder_ = std::move(folder); }
  int asked() const { return asked_; }

 private:
  std::u16string folder_;
  int asked_ = 0;
};

}  // namespace testing_support
