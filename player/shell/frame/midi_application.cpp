#include "player/shell/frame/midi_application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "player/shell/frame/conversion_progress.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/frame_panes.h"
#include "player/shell/frame/list_edit_dialog.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/notice_boxes.h"
#include "player/shell/frame/progress_sink.h"
#include "player/shell/frame/text_codec.h"
#include "player/shell/keys/key_dispatcher.h"
#include "player/shell/keys/tray_icon.h"
#include "player/shell/midi/midi_dialogs.h"
#include "player/shell/settings/property_sheet.h"

namespace volta::shell {

namespace {

namespace fs = std::filesystem;

// What was tried and what the user can do, in the menus' language.
std::string noOutputText(const std::vector<std::string>& tried, int language) {
  std::string ports;
  for (std::size_t port = 0; port < tried.size(); ++port)
    ports += std::string(ports.empty() ? "" : ", ") + char('A' + port) + ": \"" + tried[port] + "\"";
  if (language == 0)
    return "MIDI出力が開けないため、演奏しても音が出ません (試したポート " + ports +
           ")。\n\n設定 > MIDI演奏の設定 で出力ポートを選ぶか、ソフトウェア音源用の SoundFont "
           "(fluid-soundfont-gm など) を入れてください。\n端末から volta-play --render OUT.wav SONG で WAV "
           "に書き出すこともできます。";
  return "No MIDI output could be opened, so songs play without sound (ports tried " + ports +
         ").\n\nChoose an output port in Settings > MIDI setting, or install a SoundFont for the software "
         "synthesizer (fluid-soundfont-gm, for instance).\nFrom a terminal, volta-play --render OUT.wav SONG "
         "writes the sound to a WAV file.";
}

QString qt(const std::string& utf8) {
  return QString::fromStdString(utf8);
}
std::string osName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

app::FileDialogResult dialogResult(const QString& chosen, const QString& startFolder) {
  app::FileDialogResult result;
  if (!chosen.isEmpty()) {
    result.name = osName(chosen);
    result.folder = osName(QFileInfo(chosen).absolutePath());
  } else {
    result.folder = osName(startFolder);
  }
  return result;
}

// Idle updates follow the display this often: as fast as the eye reads, without a busy loop.
constexpr int kIdleIntervalMs = 16;
// The list and settings are saved this often when they changed, so a crash loses little.
constexpr int kKeepIntervalMs = 1000;

}  // namespace

MIDIApplication::MIDIApplication(const core::PlayerPlaces& places, QObject* parent)
    : QObject(parent),
      store_(std::make_unique<platform::settings::SettingsStore>(places.settingsFile)),
      setup_(std::make_unique<core::PlayerSetup>(*store_, core::PlayerSetupOptions{places})),
      frame_(std::make_unique<TMainFrame>()),
      panes_(std::make_unique<FramePanes>(*frame_, *setup_)),
      notices_(std::make_unique<NoticeBoxes>(frame_.get())),
      conversionProgress_(std::make_unique<ConversionProgress>(*panes_)) {
  std::error_code ignored;
  fs::create_directories(places.userDataFolder, ignored);
  controller_ = std::make_unique<app::PlayerController>(*this, *store_, places.userDataFolder);
  for (int id = 0; id < 2; ++id) {
    QTimer& timer = timers_[static_cast<std::size_t>(id)];
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this, id] { fireTimer(id); });
  }
  keep_.setInterval(kKeepIntervalMs);
  connect(&keep_, &QTimer::timeout, this, &MIDIApplication::keep);
  idle_.setInterval(kIdleIntervalMs);
  connect(&idle_, &QTimer::timeout, this, &MIDIApplication::runIdle);
  connect(qApp, &QApplication::focusChanged, this, &MIDIApplication::updateIdle);
  frame_->installEventFilter(this);
  connectFrame();
  setUpKeys();
}

MIDIApplication::~MIDIApplication() {
  // The windows go after the idle timer, and their going moves the focus: no more idle updates.
  disconnect(qApp, nullptr, this, nullptr);
  shutDown();
  sheet_.reset();
  // The dialogs let go of the controller's output first; the controller talks to the
  // windows while it goes: it leaves before them.
  midi_.reset();
  controller_.reset();
  setup_.reset();
  notices_.reset();
}

TFileList& MIDIApplication::fileList() const {
  return panes_->fileList();
}

void MIDIApplication::connectFrame() {
  connect(frame_.get(), &TMainFrame::commandChosen, panes_.get(), &FramePanes::choose);
  connect(panes_.get(), &FramePanes::configurationChosen, this, &MIDIApplication::showConfiguration);
  connect(frame_.get(), &TMainFrame::commandChosen, this, &MIDIApplication::keyCommand);
  connect(frame_->slider(), &QSlider::sliderPressed, this, [this] { controller_->playback().sliderPressed(); });
  connect(frame_.get(), &TMainFrame::sliderReleased, this,
          [this](int value) { controller_->playback().sliderReleased(value); });
  connect(frame_.get(), &TMainFrame::frameClosed, this, [this](int pane) { controller_->panes().togglePane(pane); });
  connect(frame_.get(), &TMainFrame::closing, this, &MIDIApplication::shutDown);
  // A double click plays that row, as choosing it and pressing Play would from a stop.
  connect(&fileList(), &TFileList::rowActivated, this, [this](int row) {
    if (!controller_->remote().locked() && row >= 0)
      controller_->playback().playPosition(static_cast<std::uint32_t>(row));
  });
  connect(&fileList(), &TFileList::filesDropped, this, [this](const QStringList& paths) {
    std::vector<std::string> names;
    for (const QString& path : paths)
      names.push_back(osName(path));
    controller_->lists().drop(names);
  });
}

void MIDIApplication::start(const app::CommandLine& commandLine) {
  controller_->readSettings();
  applyWindowSettings();
  panes_->readSettings(*store_);
  applyPriority();
  frame_->show();
  applyTray();
  // A failure, or the notice that the other engine library serves.
  setup_->bindEngine();
  if (!setup_->message().empty()) message("VOLTA error report", setup_->message());
  // Every song player made, at start or at a template switch, is prepared by the start-up path
  // with the settings as they are then.
  controller_->setSongPlayerSetup([this](core::SongPlayer& player) {
    setup_->reapply();
    setup_->prepare(player);
    player.setConversionOwner(conversionProgress_->target());
  });
  controller_->bindEngine(setup_->binding(), setup_->definitions(), &setup_->archives());
  panes_->attach(*controller_);
  startMidiDialogs();
  controller_->start(commandLine);
  started_ = true;
  keep_.start();
  updateIdle();
}

void MIDIApplication::startMidiDialogs() {
  MidiDialogHost host;
  host.parent = frame_.get();
  host.store = store_.get();
  host.definitions = &setup_->definitions();
  host.controller = controller_.get();
  host.language = [this] { return panes_->language(); };
  host.applySettings = [this] { applySettings(); };
  host.refreshRow = [this](int row) { refreshRow(row); };
  host.notice = [this](const std::string& text) { message("MIDI THRU - VOLTA Player", text); };
  midi_ = std::make_unique<MidiDialogs>(std::move(host));
  panes_->setOtherCommands([this](int id) { return midi_->choose(id); });
  midi_->addSongActions(fileList(), [this] { return selectedRow(); });
  connect(panes_.get(), &FramePanes::languageChanged, midi_.get(), &MidiDialogs::nameSongActions);
}

void MIDIApplication::keep() {
  keepWindowSettings();
  controller_->keep();
}

void MIDIApplication::shutDown() {
  if (!started_ || shutDown_) return;
  shutDown_ = true;
  idle_.stop();
  keep_.stop();
  keepWindowSettings();
  panes_->keepSettings(*store_);
  tray_->apply(false);
  controller_->shutDown();
  for (QTimer& timer : timers_)
    timer.stop();
}

void MIDIApplication::applyWindowSettings() {
  const app::AppSettings& settings = controller_->settings();
  frame_->move(settings.mainWindowX, settings.mainWindowY);
  for (int pane = 0; pane < kPaneCount; ++pane) {
    const auto index = static_cast<std::size_t>(pane);
    const app::Rect& rect = settings.frames[index];
    frame_->paneFrame(pane)->setGeometry(rect.left, rect.top, rect.width, rect.height);
    frame_->setFramed(pane, settings.frameMode[index]);
    if (settings.frameMode[index] && settings.windowFlag[index]) frame_->setFrameVisible(pane, true);
  }
  frame_->setMenuBarShown(!settings.menuDisable);
}

void MIDIApplication::keepWindowSettings() {
  app::AppSettings& settings = controller_->settings();
  settings.mainWindowX = frame_->x();
  settings.mainWindowY = frame_->y();
  settings.mainWindowW = frame_->width();
  settings.mainWindowH = frame_->height();
  for (int pane = 0; pane < kPaneCount; ++pane) {
    const QRect rect = frame_->paneFrame(pane)->geometry();
    settings.frames[static_cast<std::size_t>(pane)] = {rect.left(), rect.top(), rect.width(), rect.height()};
  }
}

std::optional<int> MIDIApplication::armedTimer(int id) const {
  return armed_.at(static_cast<std::size_t>(id));
}

void MIDIApplication::fireTimer(int id) {
  timers_.at(static_cast<std::size_t>(id)).stop();
  armed_.at(static_cast<std::size_t>(id)).reset();
  controller_->playback().timer(id);
  if (id == app::kDisplayTimer) updateIdle();
}

void MIDIApplication::runIdle() {
  updateIdle();
  if (idle_.isActive()) controller_->playback().idle();
}

void MIDIApplication::updateIdle() {
  const bool wanted = started_ && !shutDown_ && !panes_->idleSwitchedOff() && controller_->playback().state().playing &&
                      frame_->playerWindowActive();
  if (wanted && !idle_.isActive()) idle_.start();
  if (!wanted) idle_.stop();
}

bool MIDIApplication::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_.get() && event->type() == QEvent::Paint && !painted_) {
    painted_ = true;
    QTimer::singleShot(0, this, &MIDIApplication::firstPainted);
  }
  return QObject::eventFilter(watched, event);
}

// ---- FrameView ----

void MIDIApplication::setWindowTitle(const std::string& text) {
  frame_->setWindowTitle(qt(text));
}

void MIDIApplication::setListFrameTitle(const std::string& text) {
  frame_->paneFrame(app::kListPane)->setWindowTitle(qt(text));
}

void MIDIApplication::setPanelText(int item, const std::string& text) {
  panes_->setPanelText(item, text);
}
void MIDIApplication::setPanelLamp(int item, bool lit) {
  panes_->setPanelLamp(item, lit);
}
void MIDIApplication::noOutput(const std::vector<std::string>& tried) {
  const std::string text = noOutputText(tried, panes_->language());
  if (standIn_) return dialogLog_.push_back(text);
  // A notice like any other: the song goes on, and remote control is not held up.
  notices_->show(QStringLiteral("VOLTA Player"), qt(text));
}

void MIDIApplication::resetWrdScreen() {
  panes_->resetWrdScreen();
}
std::string MIDIApplication::panelText(int item) const {
  return panes_->panelText(item);
}
bool MIDIApplication::panelLamp(int item) const {
  return panes_->panelLamp(item);
}
void MIDIApplication::setBackLight(const monitor::Palette& palette) {
  panes_->setBackLight(palette);
}
void MIDIApplication::resetMonitor() {
  panes_->resetMonitor();
}
void MIDIApplication::animate() {
  panes_->animate();
}
void MIDIApplication::updateLcd() {
  panes_->updateLcd();
}

void MIDIApplication::armTimer(int id, int ms) {
  const auto index = static_cast<std::size_t>(id);
  armed_.at(index) = ms;
  timers_.at(index).start(std::max(ms, 0));
}

void MIDIApplication::killTimer(int id) {
  const auto index = static_cast<std::size_t>(id);
  timers_.at(index).stop();
  armed_.at(index).reset();
}

void MIDIApplication::showPane(int pane) {
  panes_->setMiniMode(pane < 0 || pane >= kPaneCount);
  frame_->showPane(pane);
}
void MIDIApplication::showFrame(int pane, bool visible) {
  frame_->setFrameVisible(pane, visible);
}
bool MIDIApplication::setFullScreen(bool on) {
  return panes_->setFullScreen(on);
}

void MIDIApplication::activateMainWindow() {
  frame_->showNormal();
  frame_->raise();
  frame_->activateWindow();
}

bool MIDIApplication::mainWindowMinimized() const {
  return frame_->isMinimized();
}
void MIDIApplication::commandsChanged() {
  panes_->commandsChanged(*controller_);
}
void MIDIApplication::refreshList() {
  panes_->refreshList(*controller_);
}
void MIDIApplication::refreshRow(int position) {
  panes_->refreshRow(*controller_, position);
}

void MIDIApplication::setListHeaders(const std::string& title, const std::string& fileName) {
  fileList().setHeaders(qt(title), qt(fileName));
}

void MIDIApplication::showRow(int position) {
  fileList().showRow(position);
}
int MIDIApplication::selectedRow() const {
  return fileList().selectedRow();
}
void MIDIApplication::setSliderRange(int maximum) {
  frame_->setSlider(maximum, frame_->slider()->value());
}
void MIDIApplication::setSlider(int value) {
  frame_->setSlider(frame_->slider()->maximum(), value);
}
void MIDIApplication::setDocumentText(const std::string* bytes) {
  panes_->setDocumentText(bytes);
}
void MIDIApplication::setWrdDebugText(const std::string* bytes) {
  panes_->setWrdDebugText(bytes);
}
void MIDIApplication::setWrdDebugCursor(std::size_t offset) {
  panes_->setWrdDebugCursor(offset);
}

void MIDIApplication::message(const std::string& caption, const std::string& text) {
  if (standIn_) return dialogLog_.push_back(caption + ": " + text);
  // While ending the box may never be seen: the message goes to standard error too.
  if (shutDown_) std::cerr << "volta: " << caption << ": " << text << '\n';
  notices_->show(qt(caption), qt(text));
}

int MIDIApplication::noticeCount(const std::string& caption) const {
  return notices_->count(qt(caption));
}

// A question cannot be answered while a remote command waits for its reply: it gets the
// answer that changes nothing, and the command is refused.
app::Answer MIDIApplication::unattendedAnswer(const std::string& caption, const std::string& text,
                                              app::Buttons buttons) {
  notices_->show(qt(caption), qt(text + "\n(a remote command was refused: it needed an answer)"));
  return buttons == app::Buttons::kOk      ? app::Answer::kYes
         : buttons == app::Buttons::kYesNo ? app::Answer::kNo
                                           : app::Answer::kCancel;
}

app::Answer MIDIApplication::ask(const std::string& caption, const std::string& text, app::Buttons buttons) {
  if (standIn_) {
    dialogLog_.push_back(caption + ": " + text);
    return *standIn_;
  }
  if (servingRemote_ > 0) return unattendedAnswer(caption, text, buttons);
  QMessageBox::StandardButtons choices = QMessageBox::Ok;
  if (buttons == app::Buttons::kYesNo) choices = QMessageBox::Yes | QMessageBox::No;
  if (buttons == app::Buttons::kYesNoCancel) choices = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  switch (QMessageBox::question(frame_.get(), qt(caption), qt(text), choices)) {
    case QMessageBox::Yes:
    case QMessageBox::Ok:
      return app::Answer::kYes;
    case QMessageBox::No:
      return app::Answer::kNo;
    default:
      return app::Answer::kCancel;
  }
}

app::FileDialogResult MIDIApplication::standInFileAnswer(const app::FileDialogRequest& request) {
  return {std::exchange(fileAnswer_, std::nullopt), request.startFolder};
}

app::FileDialogResult MIDIApplication::askOpenFile(const app::FileDialogRequest& request) {
  if (standIn_) return standInFileAnswer(request);
  const QString start = QFile::decodeName(request.startFolder.c_str());
  QFileDialog dialog(frame_.get(), qt(request.caption), start, qtFilter(request.filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QString chosen = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
  return dialogResult(chosen, dialog.directory().absolutePath());
}

app::FileDialogResult MIDIApplication::askFolder(const app::FileDialogRequest& request) {
  if (standIn_) return standInFileAnswer(request);
  const QString start = QFile::decodeName(request.startFolder.c_str());
  const QString chosen = QFileDialog::getExistingDirectory(frame_.get(), qt(request.caption), start);
  app::FileDialogResult result;
  if (!chosen.isEmpty()) result.name = osName(chosen);
  result.folder = osName(chosen.isEmpty() ? start : chosen);
  return result;
}

app::FileDialogResult MIDIApplication::askSaveFile(const app::FileDialogRequest& request) {
  if (standIn_) return standInFileAnswer(request);
  const QString start = QFile::decodeName(request.startFolder.c_str());
  QFileDialog dialog(frame_.get(), qt(request.caption), start, qtFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  const QString chosen = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
  return dialogResult(chosen, dialog.directory().absolutePath());
}

std::optional<std::vector<core::MIDIFile>> MIDIApplication::editList(const app::ListEditRequest& request) {
  if (standIn_) return std::nullopt;
  TListEditDialog dialog(request, static_cast<Language>(panes_->language()), frame_.get());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.entries();
}

std::optional<std::vector<std::string>> MIDIApplication::editAlbum(const std::vector<std::string>& items) {
  if (standIn_) return std::nullopt;
  return panes_->editAlbum(items);
}

core::AddProgress* MIDIApplication::beginProgress() {
  // Each adding gets its own dialog; an earlier one stays until its user closes it. It is
  // modeless: scripted runs get it too.
  progress_ = std::make_unique<ProgressSink>(frame_.get(), panes_->language());
  return progress_.get();
}

TProgressDialog* MIDIApplication::progressDialog() const {
  return progress_ ? progress_->dialog() : nullptr;
}

void MIDIApplication::launchFileBrowser(const std::string& folder) {
  const QString place = folder.empty() ? QDir::homePath() : QFile::decodeName(folder.c_str());
  QDesktopServices::openUrl(QUrl::fromLocalFile(place));
}

void MIDIApplication::quit() {
  frame_->close();
}

}  // namespace volta::shell
