#include "player/core/core_settings.h"

#include <limits>

#include "bridge95/older_engine_setting.h"

namespace volta::core {
namespace {

namespace st = volta::platform::settings;

constexpr std::array<const char*, 3> kPortNames = {"PORT_A", "PORT_B", "PORT_C"};

std::string templateKey(int index) {
  return index < 0 ? std::string(st::kMainKey) : st::midiTemplateKey(index);
}

// One table of integer settings serves reading and writing alike, with the range a stored
// value must lie in to be taken (a value outside keeps the default). Switches take any value.
constexpr std::int32_t kAny = std::numeric_limits<std::int32_t>::max();

template <typename Settings, typename Visit>
void forEachInteger(Settings& s, Visit visit) {
  visit("IntervalTime", s.intervalTime, 1, kMaxIntervalTime);
  visit("ExclusiveWait1", s.exclusiveWait1, 0, kMaxExclusiveWait);
  visit("ExclusiveWait2", s.exclusiveWait2, 0, kMaxExclusiveWait);
  visit("AutoScan", s.autoScan, -kAny, kAny);
  visit("MidiRate", s.midiRate, -kAny, kAny);
  visit("UseReset", s.useReset, -kAny, kAny);
  visit("RepeatCount", s.repeatCount, 0, kMaxRepeatCount);
  visit("DLLTypeIs32Bit", s.dllTypeIs32Bit, -kAny, kAny);
  visit("HSPlay", s.hsPlay, -kAny, kAny);
  visit("AnalyzeMode", s.analyzeMode, -kAny, kAny);
  visit("ScanLength", s.scanLength, -kAny, kAny);
  visit("AutoDoc", s.autoDoc, -kAny, kAny);
  visit("PortOpenClose", s.portOpenClose, -kAny, kAny);
  visit("SRYEnable", s.sryEnable, -kAny, kAny);
  visit("MIDITemplateMode", s.midiTemplateMode, -1, kTemplateCount - 1);
}

template <typename Settings, typename Visit>
void forEachString(Settings& s, Visit visit) {
  visit("UserDefFile", s.userDefFile);
  visit("DefFile", s.defFile);
  visit(bridge95::kOlderEngineSetting, s.bridgeEngine);
  visit("DefaultModule", s.defaultModule);
  visit("Filter", s.filter);
  visit("SoundFont", s.soundFont);
}

}  // namespace

std::int32_t readMidiTemplateMode(const st::SettingsStore& store) {
  return CoreSettings::read(store).midiTemplateMode;
}

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
  addTo(batch, index);
  return store.apply(batch);
}

void MidiTemplate::addTo(st::SettingsBatch& batch, int index) const {
  const std::string key = templateKey(index);
  for (std::size_t port = 0; port < kPortNames.size(); ++port)
    batch.setString(key, kPortNames[port], ports[port]);
  batch.setString(key, "Module", module);
}

CoreSettings CoreSettings::read(const st::SettingsStore& store) {
  CoreSettings s;
  s.mainTemplate = MidiTemplate::read(store, -1);
  forEachInteger(s, [&](const char* name, std::int32_t& value, std::int32_t least, std::int32_t most) {
    const std::int32_t stored = store.readInt(st::kMainKey, name, value);
    if (stored >= least && stored <= most) value = stored;
  });
  forEachString(s, [&](const char* name, std::string& value) { value = store.readString(st::kMainKey, name, value); });
  s.smfkFolder = store.readString(st::kMainKey, "SMFKFolder", "");
  return s;
}

bool CoreSettings::write(st::SettingsStore& store) const {
  st::SettingsBatch batch;
  mainTemplate.addTo(batch, -1);
  forEachInteger(*this, [&](const char* name, const std::int32_t& value, std::int32_t, std::int32_t) {
    batch.setInt(st::kMainKey, name, value);
  });
  forEachString(*this, [&](const char* name, const std::string& value) { batch.setString(st::kMainKey, name, value); });
  if (intervalTime == 0) batch.setInt(st::kMainKey, "IntervalTime", 10);
  return store.apply(batch);
}

MidiTemplate CoreSettings::currentTemplate(const st::SettingsStore& store) const {
  return midiTemplateMode < 0 ? mainTemplate : MidiTemplate::read(store, midiTemplateMode);
}

}  // namespace volta::core
