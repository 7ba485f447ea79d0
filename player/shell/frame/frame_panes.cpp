#include "player/shell/frame/frame_panes.h"

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolTip>
#include <cstring>
#include <map>

#include "platform/clock.h"
#include "player/core/app/display_texts.h"
#include "player/core/app/player_controller.h"
#include "player/core/song_player.h"
#include "player/core/startup/player_setup.h"
#include "player/monitor/back_light.h"
#include "player/monitor/instrument_lookup.h"
#include "player/monitor/status_panel.h"
#include "player/shell/desktop/help.h"
#include "player/shell/document/document_window.h"
#include "player/shell/frame/album_dialog.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/list_rows.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/keys/key_dispatcher.h"
#include "player/shell/monitor/monitor_window.h"
#include "player/shell/monitor/piano_roll_window.h"
#include "player/shell/panel/about_dialog.h"
#include "player/shell/panel/button_bar.h"
#include "player/shell/panel/button_row.h"
#include "player/shell/panel/commands.h"
#include "player/shell/panel/liquid_text_window.h"
#include "player/shell/panel/liquid_window.h"
#include "player/shell/panel/menu_bar.h"
#include "player/shell/settings/general_values.h"
#include "player/shell/smfk/smfk_command.h"
#include "player/shell/wrd/wrd_display.h"
#include "player/shell/wrd/wrd_full_screen.h"
#include "player/shell/wrd/wrd_window.h"

namespace volta::shell {

namespace {

using platform::settings::kMainKey;

constexpr std::size_t kColumnSlots = 32;

// The face when it is installed; empty (the default face) when it is not, as the
// Windows names of the defaults are not on Linux.
QString installedFace(const std::string& face) {
  const QString name = QString::fromStdString(face);
  return QFontDatabase::hasFamily(name) ? name : QString();
}

std::array<int, TFileList::kColumns> columnWidthsFrom(const std::vector<std::uint8_t>& bytes) {
  std::array<int, TFileList::kColumns> widths{};
  for (std::size_t column = 0; column < widths.size() && (column + 1) * 4 <= bytes.size(); ++column) {
    std::int32_t width = 0;
    std::memcpy(&width, bytes.data() + column * 4, 4);
    widths[column] = width;
  }
  return widths;
}

std::vector<std::uint8_t> columnWidthBytes(const std::array<int, TFileList::kColumns>& widths) {
  std::vector<std::uint8_t> bytes(kColumnSlots * 4, 0);
  for (std::size_t column = 0; column < widths.size(); ++column) {
    const std::int32_t width = widths[column];
    std::memcpy(bytes.data() + column * 4, &width, 4);
  }
  return bytes;
}

// The monitor follows the engine every 50 ms, however often the animation timer runs.
constexpr std::uint32_t kMonitorUpdateMs = 50;

// "Minimize": what mini mode shows of the status panel and the LCD canvas.
enum MiniContent { kPanelAndCanvas = 0, kPanelOnly = 1, kCanvasOnly = 2 };

// The status panel with the LCD canvas to its right; the strip is as wide as what it shows.
QWidget* statusStrip(TLiquidTextWindow* panel, TLiquidWindow* canvas) {
  auto* strip = new QWidget;
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(panel, 0, Qt::AlignTop);
  layout->addWidget(canvas, 0, Qt::AlignTop);
  canvas->hide();
  return strip;
}

// Instrument names from the module definitions, each section read under the store's lock.
monitor::SectionReader definitionReader(const core::TINICritical& definitions) {
  return [&definitions](std::string_view section, std::string_view key) -> std::optional<std::string> {
    const auto lock = definitions.lock();
    const core::TINIValues* values = definitions.findSection(section);
    if (!values) return std::nullopt;
    const auto value = values->find(key);
    return value ? std::optional<std::string>(*value) : std::nullopt;
  };
}

// The song's WRD script for the display: opened when a new song starts from its
// beginning, then followed; the debug pane reads the script's text from here.
class SongWrd final : public core::WrdFollower {
 public:
  SongWrd(WrdDisplay& display, const app::PlayerController& controller) : display_(display), controller_(controller) {}

  void restart(std::uint16_t timeBase) override {
    if (const core::SongPlayer* player = controller_.session().songPlayer(); player && isNewSong(*player)) {
      display_.openForSong(*player);
      const wrd::ScriptBuffer& script = display_.script();
      const auto end = std::min(script.end, script.bytes.size());
      text_.assign(script.bytes.data() + std::min(script.start, end), script.bytes.data() + end);
    }
    display_.restart(timeBase);
  }
  bool follow(const Position& position) override { return display_.follow(position); }
  void forget() {
    last_ = {};
    text_.clear();
  }

  const std::string* text() const { return text_.empty() ? nullptr : &text_; }
  std::optional<std::size_t> step() const {
    const std::size_t start = display_.script().start, at = display_.commandStart();
    if (text_.empty() || at < start) return std::nullopt;
    return at - start;
  }

 private:
  bool isNewSong(const core::SongPlayer& player) {
    const Song song{player.song(), player.wrdSource(), player.title()};
    if (song == last_) return false;
    last_ = song;
    return true;
  }
  struct Song {
    const void* handle = nullptr;
    std::filesystem::path script;
    std::string title;
    bool operator==(const Song&) const = default;
  };
  WrdDisplay& display_;
  const app::PlayerController& controller_;
  Song last_;
  std::string text_;
};

}  // namespace

struct FramePanes::Parts {
  TLiquidTextWindow* panel = nullptr;
  TLiquidWindow* canvas = nullptr;
  TMonitorWindow* monitor = nullptr;
  std::optional<std::uint32_t> lastMonitorUpdate;
  std::map<int, std::unique_ptr<TPianoRollWindow>> pianoRolls;
  std::uint32_t lastMeasure = 0;
  const void* monitoredSong = nullptr;
  ButtonBar* buttons = nullptr;
  TFileList* list = nullptr;
  TDocumentWindow* document = nullptr;
  TDocumentWindow* wrdDebug = nullptr;
  TWRDWindow* wrd = nullptr;
  std::unique_ptr<WrdDisplay> wrdDisplay;
  std::unique_ptr<SongWrd> songWrd;
  std::unique_ptr<TWRDFullScreenWindow> fullScreen;
  MenuActions menus;
  // The panes show these copies, which live until the next text arrives.
  std::string documentText, wrdDebugText;
  app::PlayerController* controller = nullptr;
  int language = kJapanese;
};

FramePanes::FramePanes(TMainFrame& frame, const core::PlayerSetup& setup)
    : frame_(frame), setup_(setup), parts_(std::make_unique<Parts>()) {
  parts_->panel = TLiquidTextWindow::createStatusPanel();
  parts_->canvas = new TLiquidWindow;
  parts_->monitor = new TMonitorWindow;
  parts_->buttons = new ButtonBar;
  parts_->list = new TFileList;
  parts_->document = new TDocumentWindow;
  parts_->wrdDebug = new TDocumentWindow;
  parts_->wrd = new TWRDWindow(nullptr, setup.wrd().face());
  applyWrdSetup();
  parts_->wrdDisplay = std::make_unique<WrdDisplay>(*parts_->wrd);
  parts_->wrdDisplay->setProgramDirectory(setup.wrd().programFolder());
  frame_.setStatusPanel(statusStrip(parts_->panel, parts_->canvas));
  frame_.setButtonBar(parts_->buttons);
  frame_.setPaneContent(app::kWrdPane, parts_->wrd);
  frame_.setPaneContent(app::kDocumentPane, parts_->document);
  frame_.setPaneContent(app::kListPane, parts_->list);
  frame_.setPaneContent(app::kMonitorPane, parts_->monitor);
  frame_.setPaneContent(app::kWrdDebugPane, parts_->wrdDebug);
  connect(parts_->buttons, &ButtonBar::command, this, &FramePanes::choose);
  connect(parts_->wrd, &T256WRDWindow::command, this, &FramePanes::choose);
}

FramePanes::~FramePanes() {
  // The full-screen window draws from the WRD window: it goes first.
  parts_->fullScreen.reset();
}

TFileList& FramePanes::fileList() const {
  return *parts_->list;
}

void FramePanes::readSettings(const platform::settings::SettingsStore& store) {
  // The first start speaks the locale's language; a language chosen in the menu stays.
  parts_->language = storedLanguage(store);
  fileList().setColumnWidths(columnWidthsFrom(store.readBinary(kMainKey, "ColumnWidth", {})));
  // Without the display library's stand-in there is no full screen, until the next start.
  fullScreenAllowed_ = !WindowValues::read(store).ddNoRead;
  applyGeneralSettings(store);
}

void FramePanes::applyGeneralSettings(const platform::settings::SettingsStore& store) {
  const WindowValues window = WindowValues::read(store);
  idleNoAct_ = window.idleNoAct;
  minimize_ = window.minimize;
  miniAlwaysTop_ = window.miniAlwaysTop;
  const ListValues listValues = ListValues::read(store, parts_->language);
  spaceCut_ = listValues.spaceCut;
  TFileList& list = fileList();
  list.setFileNameColumnShown(listValues.fileName);
  QFont font = QApplication::font();
  if (const QString face = installedFace(listValues.font); !face.isEmpty()) font.setFamily(face);
  font.setPixelSize(listValues.fontSize);
  list.setFont(font);
  const DocValues doc = DocValues::read(store, parts_->language);
  const QFont documentFont = TDocumentWindow::documentFont(installedFace(doc.font), doc.fontSize);
  parts_->document->setFont(documentFont);
  parts_->wrdDebug->setFont(documentFont);
  parts_->buttons->setButtons(readButtonRow(store), parts_->language);
  setMiniMode(mini_);
  const monitor::BackLightSettings light = monitor::readBackLightSettings(store);
  setBackLight(monitor::backLightPalette(light.colour, light.level));
  parts_->canvas->setMeterMode(setup_.settings().meterMode);
  applyWrdSetup();
}

void FramePanes::applyWrdSetup() {
  const core::WrdSetup& wrd = setup_.wrd();
  wrd.applyTo(parts_->wrd->interpreter());
  parts_->wrd->setSherryFace(wrd.face());
  parts_->wrd->setHighSpeed(wrd.settings().highSpeed);
}

void FramePanes::keepSettings(platform::settings::SettingsStore& store) const {
  store.writeBinary(kMainKey, "ColumnWidth", columnWidthBytes(fileList().columnWidths()));
  store.writeInt(kMainKey, "Language", parts_->language);
}

void FramePanes::attach(app::PlayerController& controller) {
  parts_->controller = &controller;
  parts_->songWrd = std::make_unique<SongWrd>(*parts_->wrdDisplay, controller);
  SongWrd& songWrd = *parts_->songWrd;
  controller.setWrdHooks({&songWrd, [&songWrd] { return songWrd.text(); }, [&songWrd] { return songWrd.step(); }});
  parts_->wrdDisplay->showDefault();
  connectMonitor(controller);
  buildMenus();
}

void FramePanes::connectMonitor(app::PlayerController& controller) {
  app::EngineSession& session = controller.session();
  TMonitorWindow& monitor = *parts_->monitor;
  auto showControls = [&monitor, &session, &controller] {
    monitor.showControls(session.muteMask(), session.transposition(), controller.settings().lastVolume);
  };
  MonitorHooks hooks;
  hooks.sendChannel = [&session](int port, std::uint32_t message) { session.sendChannelMessage(port, message); };
  hooks.setMuteMask = [&session, showControls](std::uint32_t mask) {
    session.setMuteMask(mask);
    showControls();
  };
  hooks.setTransposition = [&session, showControls](int semitones) {
    session.setTransposition(semitones);
    showControls();
  };
  hooks.setMasterVolume = [&controller, showControls](int volume) {
    controller.playback().setVolume(volume);
    showControls();
  };
  hooks.showMessage = [](const QString& text) { QToolTip::showText(QCursor::pos(), text); };
  hooks.decodeText = [](std::string_view bytes) { return app::cp932ToUtf8(bytes); };
  monitor.setHooks(std::move(hooks));
  connect(&monitor, &TMonitorWindow::pianoRollRequested, this, &FramePanes::showPianoRoll);
  monitor.setInstrumentResolver(
      [&session, read = definitionReader(setup_.definitions())](const monitor::InstrumentKey& key) {
        const app::EnginePlayer* player = session.player();
        return monitor::lookupInstrument(read, player ? player->instrumentSection() : std::string(), key);
      });
  showControls();
}

void FramePanes::buildMenus() {
  MenuHooks hooks;
  // The help items open the help pages; the box of keys stands in when they cannot.
  hooks.onCommand = [this](int id) {
    if (!openHelp(id, setup_.wrd().programFolder())) choose(id);
  };
  hooks.albumLists = [this] { return parts_->controller->lists().albumItems(); };
  hooks.history = [this] {
    const auto& history = parts_->controller->settings().history;
    return std::vector<std::string>(history.begin(), history.end());
  };
  parts_->menus = buildMenuBar(frame_.menuBar(), parts_->language, hooks);
  // A hidden menu bar is brought back from here.
  frame_.setContextActions({parts_->menus.action(cmd::kMenuBar)});
  commandsChanged(*parts_->controller);
}

void FramePanes::choose(int id) {
  app::PlayerController& controller = *parts_->controller;
  if (controller.command(id)) return;
  switch (id) {
    case cmd::kLanguage:
      // The texts change language: playing stops and the panel starts afresh.
      controller.playback().stop();
      parts_->language = parts_->language == kJapanese ? kEnglish : kJapanese;
      parts_->buttons->setButtons(parts_->buttons->buttons(), parts_->language);
      parts_->panel->resetStatus();
      buildMenus();
      emit languageChanged();
      break;
    case cmd::kAbout: {
      AboutInfo info;
      if (controller.session().songPlayer()) info.engine = "libvoltant.so";
      if (const auto lzh = setup_.archives().version()) info.lzh = LibraryVersion{lzh->major, lzh->minor, {}};
      if (const auto dv = setup_.wrd().dvLibrary().version())
        info.dvConverter = LibraryVersion{dv->major, dv->minor, dv->description};
      if (const auto knife = setup_.smfkLibrary().version())
        info.smfKnife = LibraryVersion{knife->major, knife->minor, {}};
      TAboutDialog(info, parts_->language, &frame_).exec();
      break;
    }
    case cmd::kHelpContents:
    case cmd::kHelpContentsWinHelp:
    case cmd::kFaq:
      showKeyHelp();
      break;
    case cmd::kConfiguration:
    case cmd::kWindowConfiguration:
      emit configurationChosen(id);
      break;
    case cmd::kSmfKnife:
      runSmfKnifeDialog(controller, setup_, parts_->list->selectedRow(), &frame_);
      break;
    case cmd::kBenchmark:
      if (controller.remote().locked()) break;
      controller.playback().stop();
      controller.panes().selectPane(app::kWrdPane);
      parts_->wrd->benchmark();
      break;
    default:
      if (otherCommands_) otherCommands_(id);
      break;
  }
}

// The keys and the first steps, in a box that does not stop playing or remote control (F1,
// and the help items when the help pages cannot be shown).
void FramePanes::showKeyHelp() {
  static constexpr const char* kHelp[2] = {
      "Space, F11, Ctrl+P: 再生/一時停止    F12: 停止    Ctrl+←/→: 前/次の曲    Ctrl+O: 開く    Ctrl+Q: 終了\n"
      "F5 WRD  F6 ドキュメント  F7 リスト  F10 モニタ  F8 小型化  F9, Alt+Enter: フルスクリーン  Tab: 次のページ\n"
      "F1: このヘルプ    Alt: 隠したメニューバー    メディアキー: 再生/停止/前/次    キーは 設定 > 環境設定 "
      "で変えられます\n"
      "右クリック: メニューバーの表示\n\n"
      "音が出ないとき: 設定 > MIDI設定 でポートを選ぶか、SoundFont (fluid-soundfont-gm など) を入れるか、\n"
      "volta-play --render OUT.wav SONG で WAV に書き出してください。",
      "Space, F11, Ctrl+P: play/pause    F12: stop    Ctrl+Left/Right: previous/next    Ctrl+O: open    Ctrl+Q: quit\n"
      "F5 WRD  F6 document  F7 list  F10 monitor  F8 mini  F9, Alt+Enter: full screen  Tab: next page\n"
      "F1: this help    Alt: a hidden menu bar    media keys: play/stop/previous/next    keys: Settings > "
      "Configuration\n"
      "Right click: the Menu bar item\n\n"
      "When nothing sounds: choose a port in Settings > MIDI settings, install a SoundFont (fluid-soundfont-gm),\n"
      "or render to WAV with volta-play --render OUT.wav SONG."};
  auto* box =
      new QMessageBox(QMessageBox::Information, QStringLiteral("VOLTA Player"),
                      QString::fromUtf8(kHelp[parts_->language == kJapanese ? 0 : 1]), QMessageBox::Ok, &frame_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->setObjectName(QStringLiteral("keyHelp"));
  box->show();
}

void FramePanes::setPanelText(int item, const std::string& utf8) {
  parts_->panel->setText(static_cast<std::size_t>(item), utf8);
}

void FramePanes::showConversionProgress(const std::string& utf8) {
  parts_->panel->setText(monitor::item::kTitle, utf8);
  parts_->panel->repaint();
}

void FramePanes::setPanelLamp(int item, bool lit) {
  parts_->panel->setLamp(static_cast<std::size_t>(item), lit);
}

std::string FramePanes::panelText(int item) const {
  return parts_->panel->model().item(static_cast<std::size_t>(item)).text;
}

bool FramePanes::panelLamp(int item) const {
  return parts_->panel->model().item(static_cast<std::size_t>(item)).background == monitor::kInk;
}

void FramePanes::setBackLight(const monitor::Palette& palette) {
  parts_->panel->setLiquidPalette(palette);
  parts_->canvas->setLiquidPalette(palette);
}

TMonitorWindow& FramePanes::monitorWindow() const {
  return *parts_->monitor;
}

TWRDWindow& FramePanes::wrdWindow() const {
  return *parts_->wrd;
}

TLiquidWindow& FramePanes::liquidWindow() const {
  return *parts_->canvas;
}

void FramePanes::setMiniMode(bool mini) {
  mini_ = mini;
  parts_->canvas->setVisible(mini && minimize_ != kPanelOnly);
  parts_->panel->setVisible(!mini || minimize_ != kCanvasOnly);
  if (QWidget* strip = parts_->panel->parentWidget()) strip->adjustSize();
  keepMiniOnTop();
}

// "MiniAlwaysTop": the mini window stays above others; a pane shown lets it go.
void FramePanes::keepMiniOnTop() {
  const bool onTop = mini_ && miniAlwaysTop_;
  if (frame_.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  const bool shown = frame_.isVisible();
  frame_.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (shown) frame_.show();
}

void FramePanes::showPianoRoll(int row) {
  auto& window = parts_->pianoRolls[row];
  if (!window) window = std::make_unique<TPianoRollWindow>(row, &frame_);
  window->show();
  window->raise();
}

TPianoRollWindow* FramePanes::pianoRoll(int row) const {
  const auto found = parts_->pianoRolls.find(row);
  return found == parts_->pianoRolls.end() ? nullptr : found->second.get();
}

void FramePanes::followPianoRolls(const protocol::SequencerStatus& status, const protocol::ChannelState* channels) {
  const bool barLine = status.measure != parts_->lastMeasure;
  parts_->lastMeasure = status.measure;
  for (const auto& [row, window] : parts_->pianoRolls)
    if (window->isVisible()) window->follow(channels[row], status.songTime / 100, barLine);
}

void FramePanes::resetMonitor() {
  parts_->monitor->reset();
  parts_->canvas->reset();
  parts_->monitoredSong = nullptr;
  parts_->lastMonitorUpdate.reset();
}

void FramePanes::animate() {
  const app::EnginePlayer* player = parts_->controller ? parts_->controller->session().player() : nullptr;
  const protocol::OutputStatus* output = player ? player->outputStatus() : nullptr;
  if (!output) return;
  const bool loaded = player->loaded();
  const protocol::ChannelState* channels = loaded ? player->channels() : nullptr;
  parts_->canvas->updateMeters(channels, *output);
  const std::uint32_t now = platform::millisecondCounter();
  if (parts_->lastMonitorUpdate && now - *parts_->lastMonitorUpdate < kMonitorUpdateMs) return;
  parts_->lastMonitorUpdate = now;
  if (parts_->monitor->isVisible() && !frame_.isMinimized()) updateMonitor(*player, channels, *output, now);
}

void FramePanes::updateMonitor(const app::EnginePlayer& player, const protocol::ChannelState* channels,
                               const protocol::OutputStatus& output, std::uint32_t now) {
  if (const core::SongPlayer* song = parts_->controller->session().songPlayer();
      song && song->song() != parts_->monitoredSong) {
    parts_->monitoredSong = song->song();
    parts_->monitor->setTitles(app::cp932ToUtf8(song->title()), app::cp932ToUtf8(song->comment()));
  }
  // The volume and transposition may have changed elsewhere (keys, remote control).
  const app::PlayerController& controller = *parts_->controller;
  parts_->monitor->showControls(controller.session().muteMask(), controller.session().transposition(),
                                controller.settings().lastVolume);
  parts_->monitor->tick({player.status(), &output, channels}, now);
  if (player.status() && channels) followPianoRolls(*player.status(), channels);
}

void FramePanes::updateLcd() {
  const app::EnginePlayer* player = parts_->controller ? parts_->controller->session().player() : nullptr;
  if (const protocol::PanelImage* panel = player ? player->panelImage() : nullptr) parts_->canvas->follow(*panel);
}

int FramePanes::language() const {
  return parts_->language;
}

void FramePanes::resetWrdScreen() {
  // A song started again opens its script afresh.
  if (parts_->songWrd) parts_->songWrd->forget();
  parts_->wrdDisplay->showDefault();
}

bool FramePanes::setFullScreen(bool on) {
  if (on && !fullScreenAllowed_) return false;
  // The main window makes room for 480 rows while full screen is on: a Sherry screen has them,
  // and "480Line" asks for them.
  const bool tall = parts_->wrd->showingSherry() || setup_.wrd().settings().line480;
  frame_.setPaneHeight(on && tall ? kTallPaneHeight : kPaneHeight);
  if (!on) {
    parts_->fullScreen.reset();
    return true;
  }
  if (!parts_->fullScreen) {
    parts_->fullScreen = std::make_unique<TWRDFullScreenWindow>(*parts_->wrd);
    KeyDispatcher::markPlayerWindow(*parts_->fullScreen, KeyDispatcher::Role::kMain);
    connect(parts_->fullScreen.get(), &TWRDFullScreenWindow::leaveRequested, this,
            [this] { choose(cmd::kFullScreen); });
  }
  parts_->fullScreen->showFullScreen();
  return true;
}

void FramePanes::commandsChanged(const app::PlayerController& controller) {
  for (const auto& [id, action] : parts_->menus.all()) {
    action->setEnabled(controller.enabled(id));
    if (action->isCheckable()) action->setChecked(controller.checked(id));
  }
  parts_->buttons->setState(controller.playback().buttonState());
  frame_.setMenuBarShown(!controller.settings().menuDisable);
}

void FramePanes::refreshList(const app::PlayerController& controller) {
  std::vector<FileListRow> rows;
  rows.reserve(controller.lists().count());
  for (std::size_t position = 0; position < controller.lists().count(); ++position)
    rows.push_back(listRow(*controller.lists().entryAt(position), spaceCut_));
  fileList().setRows(rows);
}

void FramePanes::refreshRow(const app::PlayerController& controller, int position) {
  if (const core::MIDIFile* entry = controller.lists().entryAt(static_cast<std::size_t>(position)))
    fileList().updateRow(position, listRow(*entry, spaceCut_));
}

namespace {

void showCopy(TDocumentWindow& window, std::string& copy, const std::string* bytes) {
  copy = bytes ? *bytes : std::string();
  window.setText(bytes ? &copy : nullptr);
}

}  // namespace

void FramePanes::setDocumentText(const std::string* bytes) {
  showCopy(*parts_->document, parts_->documentText, bytes);
}
void FramePanes::setWrdDebugText(const std::string* bytes) {
  showCopy(*parts_->wrdDebug, parts_->wrdDebugText, bytes);
}

void FramePanes::setWrdDebugCursor(std::size_t offset) {
  const int at = static_cast<int>(std::min<std::size_t>(offset, parts_->wrdDebugText.size()));
  const std::size_t lineEnd = parts_->wrdDebugText.find('\n', static_cast<std::size_t>(at));
  const int end =
      lineEnd == std::string::npos ? static_cast<int>(parts_->wrdDebugText.size()) : static_cast<int>(lineEnd);
  parts_->wrdDebug->setSelection(at, end);
  parts_->wrdDebug->centreOnLine(parts_->wrdDebug->lineOfOffset(at));
}

std::optional<std::vector<std::string>> FramePanes::editAlbum(const std::vector<std::string>& items) {
  TAlbumDialog dialog(items, static_cast<Language>(parts_->language), &frame_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.items();
}

}  // namespace volta::shell
