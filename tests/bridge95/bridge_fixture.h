#pragma once
// The settings of a test in a folder of its own, where the bridge reads the name of its
// older engine when it is loaded.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bridge95/older_engine_setting.h"
#include "platform/settings/settings_store.h"
#include "tests/bridge95/stand_in_engine.h"
#include "tests/support/test_support.h"

namespace volta::test {

class BridgeSettings {
 public:
  BridgeSettings() {
    setenv("VOLTA_CONFIG_HOME", config_.path().c_str(), 1);
    standInReset();
  }
  ~BridgeSettings() { unsetenv("VOLTA_CONFIG_HOME"); }
  BridgeSettings(const BridgeSettings&) = delete;
  BridgeSettings& operator=(const BridgeSettings&) = delete;

  platform::settings::SettingsStore& store() { return store_; }
  void nameOlderEngine(const std::string& name) {
    store_.writeString(platform::settings::kMainKey, bridge95::kOlderEngineSetting, name);
  }

 private:
  TempDir config_;
  platform::settings::SettingsStore store_{config_ / "QZ" / "VOLTA.conf"};
};

// Built beside the tests by their build files.
inline const char* standInEngine() {
  return VOLTA_STAND_IN_ENGINE;
}
inline const char* nativeOlderEngine() {
  return VOLTA_NATIVE_OLDER_ENGINE;
}

}  // namespace volta::test
