#include "player/core/core_settings.h"

#include "bridge95/older_engine_setting.h"

namespace volta::core {
namespace {

namespace st = volta::platform::settings;

constexpr std::array<const char*, 3> kPortNames = {"PORT_A", "PORT_B", "PORT_C"};

std::string templateKey(int index) {
  return index < 0 ? std::string(st::kMainKey) : st::midiTemplateKey(index);
}

// One table of integer settings serves reading and writing alike.
template <typename Settings, typename Visit>
void forEachInteger(Settings& s, Visit visit) {
  visit("IntervalTime", s.intervalTime);
  visit("ExclusiveWait1", s.exclusiveWait1);
  visit("ExclusiveWait2", s.exclusiveWait2);
  visit("AutoScan", s.autoScan);
  visit("MidiRate", s.midiRate);
  visit("UseReset", s.useReset);
  visit("RepeatCount", s.repeatCount);
  visit("DLLTypeIs32Bit", s.dllTypeIs32Bit);
  visit("HSPlay", s.hsPlay);
  visit("AnalyzeMode", s.analyzeMode);
  visit("ScanLength", s.scanLength);
  visit("AutoDoc", s.autoDoc);
  visit("PortOpenClose", s.portOpenClose);
  visit("SRYEnable", s.sryEnable);
  visit("MIDITemplateMode", s.midiTemplateMode);
}

template <typename Settings, typename Visit>
void forEachString(Settings& s, Visit visit) {
  visit("UserDefFile", s.userDefFile);
  visit("DefFile", s.defFile);
  visit(bridge95::kOlderEngineSetting, s.bridgeEngine);
  visit("DefaultModule", s.defaultModule);
  visit("Filter", s.filter);
}

void addTemplate(st::SettingsBatch& batch, const MidiTemplate& values, int index) {
  const std::string key = templateKey(index);
  for (std::size_t port = 0; port < kPortNames.size(); ++port)
    batch.setString(key, kPortNames[port], values.ports[port]);
  batch.setString(key, "Module", values.module);
}

}  // namespace

MidiTemplate MidiTemplate::read(const st::SettingsStore& store, int index) {
  MidiTemplate values;
  const std::string key = templateKey(index);
  for (std::size_t port = 0; port < kPortNames.size(); ++port) {
    values.ports[port] = store.readString(key, kPortNames[port], values.ports[port]);
  }
  values.module = store.readString(key, "Module", values.module);
  return values;
}

bool MidiTemplate::write(st::SettingsStore& store, int index) const {
  st::SettingsBatch batch;
  addTemplate(batch, *this, index);
  return store.apply(batch);
}

CoreSettings CoreSettings::read(const st::SettingsStore& store) {
  CoreSettings s;
  s.mainTemplate = MidiTemplate::read(store, -1);
  forEachInteger(s, [&](const char* name, std::int32_t& value) { value = store.readInt(st::kMainKey, name, value); });
  forEachString(s, [&](const char* name, std::string& value) { value = store.readString(st::kMainKey, name, value); });
  s.smfkFolder = store.readString(st::kMainKey, "SMFKFolder", "");
  return s;
}

bool CoreSettings::write(st::SettingsStore& store) const {
  st::SettingsBatch batch;
  addTemplate(batch, mainTemplate, -1);
  forEachInteger(*this, [&](const char* name, const std::int32_t& value) { batch.setInt(st::kMainKey, name, value); });
  forEachString(*this, [&](const char* name, const std::string& value) { batch.setString(st::kMainKey, name, value); });
  if (intervalTime == 0) batch.setInt(st::kMainKey, "IntervalTime", 10);
  return store.apply(batch);
}

MidiTemplate CoreSettings::currentTemplate(const st::SettingsStore& store) const {
  return midiTemplateMode < 0 ? mainTemplate : MidiTemplate::read(store, midiTemplateMode);
}

}  // namespace volta::core
