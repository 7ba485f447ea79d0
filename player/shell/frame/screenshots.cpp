// volta-screenshots OUTDIR: the main window rendered in each of its five panes while
// the demo song plays (port A on the trace device, so nothing sounds), saved as
// OUTDIR/pane-<n>.png, then mini mode with the LCD canvas as OUTDIR/mini.png and the
// canvas three times enlarged as OUTDIR/lcd-canvas.png, and the first channel's piano roll
// as OUTDIR/piano-roll.png, each page of the configuration sheets (commands 2000 and 2016) as
// OUTDIR/settings-<page>.png, the key configuration page as OUTDIR/keys-page.png, then the MIDI
// dialogs: the three pages of "MIDI setting" (midi-sequencer.png, midi-ports.png,
// midi-general.png), midi-templates.png, midi-thru.png, song-properties.png and song-module.png.
// Runs on the offscreen platform unless another is chosen.

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/usage.h"
#include "player/core/app/player_controller.h"
#include "player/core/engine_binding.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/midi_application.h"
#include "player/shell/keys/key_config_page.h"
#include "player/shell/midi/midi_dialogs.h"
#include "player/shell/midi/song_dialogs.h"
#include "player/shell/monitor/monitor_window.h"
#include "player/shell/monitor/piano_roll_window.h"
#include "player/shell/panel/language.h"
#include "player/shell/panel/liquid_window.h"
#include "player/shell/settings/property_sheet.h"

namespace {

namespace fs = std::filesystem;
using namespace volta;

constexpr const char* kDocument =
    "VOLTA Player demo\r\n"
    "=================\r\n"
    "\r\n"
    "A short piece that shows the player's displays.\r\n"
    "\tTempo 100, 4/4, nine bars.\r\n";

void runEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// "volta::shell::TWindowConfigDialog" -> "window", "TRegistExtDialog" -> "registext".
QString pageName(const QWidget& page) {
  QString name = QString::fromLatin1(page.metaObject()->className()).section(QStringLiteral("::"), -1);
  if (name.startsWith(QLatin1Char('T'))) name.remove(0, 1);
  for (const char* suffix : {"ConfigDialog", "Dialog"}) {
    if (name.endsWith(QLatin1String(suffix))) {
      name.chop(static_cast<int>(std::strlen(suffix)));
      break;
    }
  }
  return name.toLower();
}

// Each page of the sheets the configuration commands open, once.
bool saveSheetPages(shell::MIDIApplication& player, const QDir& out) {
  QStringList saved;
  for (int command : {app::cmd::kWindowConfiguration, app::cmd::kConfiguration}) {
    emit player.frame().commandChosen(command);
    shell::TPropertySheet* sheet = player.configurationSheet();
    if (!sheet) return false;
    for (int index = 0; index < sheet->pageCount(); ++index) {
      const QString name = out.filePath(QStringLiteral("settings-%1.png").arg(pageName(*sheet->page(index))));
      if (saved.contains(name)) continue;
      sheet->tabs()->setCurrentIndex(index);
      runEventsFor(100);
      if (!sheet->grab().save(name)) return false;
      saved << name;
      std::printf("%s\n", qPrintable(name));
    }
    sheet->reject();
  }
  return true;
}

bool saveShot(const QDir& out, const QString& file, QWidget& window) {
  window.adjustSize();
  runEventsFor(100);
  const QString name = out.filePath(file);
  if (!window.grab().save(name))
    return std::fprintf(stderr, "volta-screenshots: cannot write %s\n", qPrintable(name)), false;
  std::printf("%s\n", qPrintable(name));
  return true;
}

// Each MIDI dialog as the menu commands and the list window open it.
bool saveMidiDialogs(const QDir& out, shell::MidiDialogs& dialogs) {
  shell::TPropertySheet* sheet = dialogs.openMidiSetting();
  const char* pages[] = {"midi-sequencer.png", "midi-ports.png", "midi-general.png"};
  for (int page = 0; page < 3; ++page) {
    sheet->tabs()->setCurrentIndex(page);
    if (!saveShot(out, QString::fromUtf8(pages[page]), *sheet)) return false;
  }
  sheet->close();
  sheet = dialogs.openPortTemplates();
  if (!saveShot(out, QStringLiteral("midi-templates.png"), *sheet)) return false;
  sheet->close();
  shell::TMidiThruDialog* thru = dialogs.openMidiThru();
  if (!thru || !saveShot(out, QStringLiteral("midi-thru.png"), *thru)) return false;
  thru->close();
  QDialog* properties = dialogs.openSongProperties(0);
  if (!properties || !saveShot(out, QStringLiteral("song-properties.png"), *properties)) return false;
  properties->close();
  QDialog* module = dialogs.openSongModule(0);
  if (!module || !saveShot(out, QStringLiteral("song-module.png"), *module)) return false;
  module->close();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: volta-screenshots OUTDIR\n";
  if (volta::platform::asksForHelp(argc, argv)) return volta::platform::printUsage(kUsage);
  if (argc != 2 || volta::platform::looksLikeOption(argv[1])) return volta::platform::refuseUsage(kUsage);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QTemporaryDir work;
  const fs::path folder = work.path().toStdString();
  setenv("VOLTA_CONFIG_HOME", (folder / "config").c_str(), 1);
  setenv("VOLTA_MIDI_TRACE", (folder / "trace.log").c_str(), 1);
  QApplication application(argc, argv);

  const fs::path source = fs::path(VOLTA_SOURCE_DIR) / "player" / "resources" / "demo.mid";
  const fs::path song = folder / "demo.mid";
  fs::copy_file(source, song);
  std::FILE* document = std::fopen((folder / "demo.txt").c_str(), "wb");
  if (!document) return std::fprintf(stderr, "volta-screenshots: cannot write the document\n"), 1;
  std::fputs(kDocument, document);
  std::fclose(document);

  const core::PlayerPlaces places{core::programFolder(), folder / "data", folder / "config" / "QZ" / "VOLTA.conf"};
  platform::settings::SettingsStore store(places.settingsFile);
  store.writeString(platform::settings::kMainKey, "PORT_A", "Trace");
  store.writeInt(platform::settings::kMainKey, "Minimize", 0);  // mini mode with the LCD canvas
  shell::MIDIApplication player(places);
  player.answerDialogs(app::Answer::kNo);
  player.start(app::parseCommandLine({song.string()}, folder));
  runEventsFor(2500);

  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("."))) return std::fprintf(stderr, "volta-screenshots: cannot make %s\n", argv[1]), 1;
  for (int pane = 0; pane < shell::kPaneCount; ++pane) {
    player.controller().panes().selectPane(pane);
    runEventsFor(200);
    const QString name = out.filePath(QStringLiteral("pane-%1.png").arg(pane));
    if (!player.frame().grab().save(name))
      return std::fprintf(stderr, "volta-screenshots: cannot write %s\n", qPrintable(name)), 1;
    std::printf("%s\n", qPrintable(name));
  }
  // The piano roll of the first channel follows the song for three seconds.
  player.controller().panes().selectPane(3);
  emit player.frame().findChild<shell::TMonitorWindow*>()->pianoRollRequested(0);
  runEventsFor(3000);
  auto* roll = player.frame().findChild<shell::TPianoRollWindow*>();
  const QImage rollImage = roll->grab().toImage();
  roll->hide();
  player.controller().panes().selectPane(shell::kMiniPane);
  runEventsFor(200);
  auto* canvas = player.frame().findChild<shell::TLiquidWindow*>();
  // The keys page with Previous chosen, which has two keys.
  shell::TKeyConfigDialog keys(shell::kEnglish);
  keys.read(store);
  keys.select(11);
  keys.resize(520, 360);
  const std::pair<QString, QImage> shots[] = {
      {QStringLiteral("mini.png"), player.frame().grab().toImage()},
      {QStringLiteral("lcd-canvas.png"), canvas->grab().toImage().scaled(canvas->size() * 3)},
      {QStringLiteral("piano-roll.png"), rollImage},
      {QStringLiteral("keys-page.png"), keys.grab().toImage()}};
  for (const auto& [file, image] : shots) {
    const QString name = out.filePath(file);
    if (!image.save(name)) return std::fprintf(stderr, "volta-screenshots: cannot write %s\n", qPrintable(name)), 1;
    std::printf("%s\n", qPrintable(name));
  }
  if (!saveSheetPages(player, out))
    return std::fprintf(stderr, "volta-screenshots: cannot save the settings pages\n"), 1;
  player.controller().playback().stop();
  return saveMidiDialogs(out, *player.midiDialogs()) ? 0 : 1;
}
