#include "player/shell/smfk/smfk_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

#include "platform/file_types.h"

namespace volta::shell {

namespace fs = std::filesystem;
namespace smfk = core::smfk;

namespace {

// "Abort" waits this long for the converter to notice.
constexpr std::chrono::milliseconds kAbortWait{200};
constexpr int kLastPercent = 99;

QString fromPath(const fs::path& path) {
  return QFile::decodeName(path.c_str());
}
fs::path toPath(const QString& text) {
  return fs::path(QFile::encodeName(text).toStdString());
}

}  // namespace

// Where the worker's messages go: this dialog, for one conversion.
struct TSMFKDialog::OwnerLink {
  TSMFKDialog* dialog;
  int generation;
};

TSMFKDialog::TSMFKDialog(smfk::SmfkLibrary& library, SmfkSong song, SmfkPlaces places, QWidget* parent)
    : QDialog(parent), library_(library), song_(std::move(song)), places_(std::move(places)) {
  setWindowTitle(QStringLiteral("SMF Knife"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("CFG file"), this);
  auto* groupLayout = new QHBoxLayout(group);
  configurations_ = new QComboBox(group);
  configurations_->setEditable(true);
  configurations_->setMinimumContentsLength(32);
  auto* browseButton = new QPushButton(QStringLiteral("Browse"), group);
  groupLayout->addWidget(configurations_, 1);
  groupLayout->addWidget(browseButton);
  layout->addWidget(group);
  playConverted_ = new QCheckBox(QStringLiteral("Play a converted file"), this);
  layout->addWidget(playConverted_);
  auto* buttons = new QHBoxLayout;
  convertButton_ = new QPushButton(QStringLiteral("Convert"), this);
  abortButton_ = new QPushButton(QStringLiteral("Abort"), this);
  buttons->addWidget(convertButton_);
  buttons->addWidget(abortButton_);
  layout->addLayout(buttons);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, kLastPercent);
  progress_->setValue(0);
  layout->addWidget(progress_);

  abortButton_->setEnabled(false);
  listConfigurations();
  playConverted_->setChecked(song_.playConverted);
  prompts_.message = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("SMF Knife"), text); };
  prompts_.browse = [this] {
    return QFileDialog::getOpenFileName(this, QStringLiteral("Browse"), fromPath(places_.configurationFolder),
                                        QStringLiteral("SMFK Knife configuration file(*.CFG)"));
  };
  connect(browseButton, &QPushButton::clicked, this, &TSMFKDialog::browse);
  connect(convertButton_, &QPushButton::clicked, this, &TSMFKDialog::convert);
  connect(abortButton_, &QPushButton::clicked, this, &TSMFKDialog::abort);
  connect(playConverted_, &QCheckBox::toggled, this, &TSMFKDialog::playConvertedChanged);
}

TSMFKDialog::~TSMFKDialog() {
  dropWorker();
}

// The worker sends nothing once it is gone (its thread may end later, on its own), and
// what it sent before is ignored when it arrives.
void TSMFKDialog::dropWorker() {
  worker_.reset();
  ++generation_;
}

void TSMFKDialog::listConfigurations() {
  const QDir folder(fromPath(places_.configurationFolder));
  if (places_.configurationFolder.empty() || !folder.exists()) return;
  // The folder may come from a system that ignores case: "*.cfg" in any case.
  QStringList names = folder.entryList(QDir::Files, QDir::Name);
  names.removeIf([](const QString& name) { return !name.endsWith(QStringLiteral(".cfg"), Qt::CaseInsensitive); });
  configurations_->addItems(names);
}

void TSMFKDialog::browse() {
  const QString chosen = prompts_.browse();
  if (!chosen.isEmpty()) configurations_->setCurrentText(chosen);
}

void TSMFKDialog::convert() {
  dropWorker();
  link_ = std::make_unique<OwnerLink>(OwnerLink{this, generation_});
  worker_ = std::make_unique<smfk::SmfkWorker>(library_, platform::MessageTarget{post, link_.get()});
  progress_->setValue(0);
  const fs::path output = platform::convertedSongName(song_.path.string());
  fs::path source = song_.path;
  if (platform::isRcpFamily(platform::songFormatOf(song_.path.filename().string()))) {
    // A song the converter library refuses leaves no file, and SMF Knife says it cannot read it.
    rcpSource_ = smfk::WorkFile(places_.tempFolder, "VO_RCP.", ".MID");
    source = rcpSource_ && smfk::writeRcpAsSmf(song_.path, rcpSource_.path()) ? rcpSource_.path() : fs::path();
  }
  const fs::path configuration =
      smfk::chosenConfiguration(toPath(configurations_->currentText()).string(), places_.configurationFolder);
  worker_->start(source, output, configuration);
  setRunning(true);
}

void TSMFKDialog::abort() {
  if (worker_) {
    worker_->requestStop();
    if (!worker_->waitFor(kAbortWait)) showMessage(QStringLiteral("Time out"));
    dropWorker();
  }
  setRunning(false);
}

void TSMFKDialog::post(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  const OwnerLink link = *static_cast<const OwnerLink*>(context);
  if (message != smfk::kMessage) return;
  // Every change of the dialog happens on its own thread; a dialog gone drops the call.
  QMetaObject::invokeMethod(
      link.dialog, [link, wParam, lParam] { link.dialog->receive(link.generation, wParam, lParam); },
      Qt::QueuedConnection);
}

void TSMFKDialog::receive(int generation, std::uintptr_t what, std::intptr_t value) {
  // Messages of a conversion given up before they arrived are for nobody.
  if (generation != generation_) return;
  if (what == smfk::kProgress) progress_->setValue(static_cast<int>(std::clamp<std::intptr_t>(value, 0, kLastPercent)));
  if (what == smfk::kEnded) conversionEnded(static_cast<std::int32_t>(value));
}

void TSMFKDialog::conversionEnded(std::int32_t result) {
  progress_->setValue(0);
  rcpSource_ = smfk::WorkFile();
  if (const auto text = smfk::resultMessage(result)) {
    showMessage(QString::fromStdString(*text));
  } else {
    playConverted_->setChecked(true);
  }
  setRunning(false);
}

void TSMFKDialog::setRunning(bool running) {
  abortButton_->setEnabled(running);
  convertButton_->setEnabled(!running);
}

void TSMFKDialog::showMessage(const QString& text) {
  if (prompts_.message) prompts_.message(text);
}

}  // namespace volta::shell
