#include "player/shell/settings/general_values.h"

#include "platform/settings/checked_values.h"
#include "player/shell/panel/language.h"
#include "player/shell/panel/string_table.h"

namespace volta::shell {

namespace {

using platform::settings::flagBytes;
using platform::settings::kMainKey;
using platform::settings::readFlagBytes;
using platform::settings::readIntIn;
using platform::settings::readSwitch;
using platform::settings::SettingsBatch;
using platform::settings::SettingsStore;

constexpr const char* kPaneFlags = "FrameMode";
// A document font of this name was the graphic characters' own; it shows no text.
constexpr std::string_view kGraphicFont = "98GRPH";

bool flag(const SettingsStore& store, const char* name, bool fallback) {
  return readSwitch(store, kMainKey, name, fallback);
}

std::int32_t readFontSize(const SettingsStore& store, const char* name) {
  return readIntIn(store, kMainKey, name, 12, kMinFontSize, kMaxFontSize);
}

std::string withoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  return folder;
}

std::string defaultFont(int id, int language) {
  return std::string(text(id, language));
}

}  // namespace

int storedLanguage(const SettingsStore& store) {
  return readIntIn(store, kMainKey, "Language", languageOfLocale(), kJapanese, kEnglish);
}

WindowValues WindowValues::read(const SettingsStore& store) {
  WindowValues v;
  v.frameMode = readFlagBytes(store, kMainKey, kPaneFlags, v.frameMode);
  v.priorityLevel = readIntIn(store, kMainKey, "PriorityLevel", v.priorityLevel, -2, 2);
  v.minimize = readIntIn(store, kMainKey, "Minimize", v.minimize, 0, 2);
  v.miniAlwaysTop = flag(store, "MiniAlwaysTop", v.miniAlwaysTop);
  v.autoDropPlay = flag(store, "AutoDropPlay", v.autoDropPlay);
  v.ddNoRead = flag(store, "DDNoRead", v.ddNoRead);
  v.trayIcon = flag(store, "TrayIcon", v.trayIcon);
  v.idleNoAct = flag(store, "IdleNoAct", v.idleNoAct);
  v.idleNoAct2 = flag(store, "IdleNoAct2", v.idleNoAct2);
  v.shortCut = store.readString(kMainKey, "ShortCut", "");
  return v;
}

void WindowValues::addTo(SettingsBatch& batch) const {
  batch.setBinary(kMainKey, kPaneFlags, flagBytes(frameMode))
      .setInt(kMainKey, "PriorityLevel", priorityLevel)
      .setInt(kMainKey, "Minimize", minimize)
      .setInt(kMainKey, "MiniAlwaysTop", miniAlwaysTop)
      .setInt(kMainKey, "AutoDropPlay", autoDropPlay)
      .setInt(kMainKey, "DDNoRead", ddNoRead)
      .setInt(kMainKey, "TrayIcon", trayIcon)
      .setInt(kMainKey, "IdleNoAct", idleNoAct)
      .setInt(kMainKey, "IdleNoAct2", idleNoAct2)
      .setString(kMainKey, "ShortCut", withoutTrailingSlash(shortCut));
}

ListValues ListValues::read(const SettingsStore& store, int language) {
  ListValues v;
  v.font = store.readString(kMainKey, "ListFont", defaultFont(text_id::kListFont, language));
  v.fontSize = readFontSize(store, "ListFontSize");
  v.fileName = flag(store, "ListFileName", v.fileName);
  v.spaceCut = flag(store, "SpaceCut", v.spaceCut);
  return v;
}

void ListValues::addTo(SettingsBatch& batch) const {
  batch.setString(kMainKey, "ListFont", font)
      .setInt(kMainKey, "ListFontSize", fontSize)
      .setInt(kMainKey, "ListFileName", fileName)
      .setInt(kMainKey, "SpaceCut", spaceCut);
}

DocValues DocValues::read(const SettingsStore& store, int language) {
  DocValues v;
  v.font = store.readString(kMainKey, "DocFont", defaultFont(text_id::kDocumentFont, language));
  if (v.font == kGraphicFont) v.font = defaultFont(text_id::kListFont, language);
  v.fontSize = readFontSize(store, "DocFontSize");
  v.autoDoc = flag(store, "AutoDoc", v.autoDoc);
  return v;
}

void DocValues::addTo(SettingsBatch& batch) const {
  batch.setString(kMainKey, "DocFont", font)
      .setInt(kMainKey, "DocFontSize", fontSize)
      .setInt(kMainKey, "AutoDoc", autoDoc);
}

WrdValues WrdValues::read(const SettingsStore& store) {
  WrdValues v;
  v.autoWrd = flag(store, "AutoWRD", v.autoWrd);
  v.autoWrd2 = flag(store, "AutoWRD2", v.autoWrd2);
  v.ddChange = flag(store, "DDChange", v.ddChange);
  v.noWrd = flag(store, "NoWRD", v.noWrd);
  v.display = core::WrdSettings::read(store);
  return v;
}

void WrdValues::addTo(SettingsBatch& batch) const {
  batch.setInt(kMainKey, "AutoWRD", autoWrd)
      .setInt(kMainKey, "AutoWRD2", autoWrd2)
      .setInt(kMainKey, "DDChange", ddChange)
      .setInt(kMainKey, "NoWRD", noWrd)
      .setInt(kMainKey, "480Line", display.line480)
      .setInt(kMainKey, "HighSpeedWRD", display.highSpeed)
      .setInt(kMainKey, "VSYNC", display.vsync)
      .setString(kMainKey, "WRDFont", display.wrdFont)
      .setString(kMainKey, "WC2Font", display.kanaFont);
}

std::string screenModeText(int width, int height, int depth, int language) {
  int colours = text_id::kUnknownColours;
  switch (depth) {
    case 8:
      colours = text_id::k256Colours;
      break;
    case 15:
      colours = text_id::k32kColours;
      break;
    case 16:
      colours = text_id::k64kColours;
      break;
    case 24:
      colours = text_id::kTrueColour24;
      break;
    case 32:
      colours = text_id::kTrueColour32;
      break;
    default:
      break;
  }
  return std::to_string(width) + "x" + std::to_string(height) + " " + std::string(text(colours, language));
}

}  // namespace volta::shell
