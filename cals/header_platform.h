// Everything the header operations need from the operating system, bundled
// so that the same core runs on Windows and in native tests.
#pragma once

#include "cals/file_access.h"
#include "cals/installation.h"
#include "cals/tag_config.h"
#include "cals/text_codec.h"

namespace cals {

class TagConfigStore;

struct HeaderPlatform {
  const TextCodec* codec;
  FileOpener* files;
  TagConfig* config;
  InstallationLocator* installation;
  // Keeps the configuration's answers between loads; without one, every
  // load asks the configuration for every record.
  TagConfigStore* configStore = nullptr;
};

}  // namespace cals
