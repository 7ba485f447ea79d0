#include "player/shell/frame/frame_panes.h"

#include <QFont>
#include <QPlainTextEdit>
#include <cstring>

#include "player/core/app/player_controller.h"
#include "player/monitor/liquid_text.h"
#include "player/monitor/status_panel.h"
#include "player/shell/frame/file_list.h"
#include "player/shell/frame/list_rows.h"
#include "player/shell/frame/main_frame.h"
#include "player/shell/frame/text_codec.h"

namespace volta::shell {

namespace {

using platform::settings::kMainKey;

constexpr std::size_t kColumnSlots = 32;

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

QWidget* blankPane() {
  auto* pane = new QWidget;
  pane->setAutoFillBackground(true);
  QPalette colours = pane->palette();
  colours.setColor(QPalette::Window, Qt::black);
  pane->setPalette(colours);
  return pane;
}

QPlainTextEdit* textPane() {
  auto* pane = new QPlainTextEdit;
  pane->setReadOnly(true);
  pane->setFont(QFont(QStringLiteral("monospace")));
  return pane;
}

}  // namespace

struct FramePanes::Parts {
  TFileList* list = nullptr;
  QPlainTextEdit* document = nullptr;
  QPlainTextEdit* wrdDebug = nullptr;
  monitor::LiquidTextModel panel{monitor::kStatusItemCount};
};

FramePanes::FramePanes(TMainFrame& frame) : frame_(frame), parts_(std::make_unique<Parts>()) {
  monitor::defineStatusPanel(parts_->panel);
  parts_->list = new TFileList;
  parts_->document = textPane();
  parts_->wrdDebug = textPane();
  frame_.setPaneContent(0, blankPane());
  frame_.setPaneContent(1, parts_->document);
  frame_.setPaneContent(kListPane, parts_->list);
  frame_.setPaneContent(3, blankPane());  // the performance monitor: not drawn yet
  frame_.setPaneContent(4, parts_->wrdDebug);
}

FramePanes::~FramePanes() = default;

TFileList& FramePanes::fileList() const {
  return *parts_->list;
}

void FramePanes::readSettings(const platform::settings::SettingsStore& store) {
  idleNoAct_ = store.readInt(kMainKey, "IdleNoAct", 0) != 0;
  spaceCut_ = store.readInt(kMainKey, "SpaceCut", 0) != 0;
  TFileList& list = fileList();
  list.setColumnWidths(columnWidthsFrom(store.readBinary(kMainKey, "ColumnWidth", {})));
  list.setFileNameColumnShown(store.readInt(kMainKey, "ListFileName", 1) != 0);
  const std::string family = store.readString(kMainKey, "ListFont", "");
  QFont font = list.font();
  if (!family.empty()) font.setFamily(QString::fromStdString(family));
  font.setPixelSize(std::clamp(store.readInt(kMainKey, "ListFontSize", 12), 6, 72));
  list.setFont(font);
}

void FramePanes::keepSettings(platform::settings::SettingsStore& store) const {
  store.writeBinary(kMainKey, "ColumnWidth", columnWidthBytes(fileList().columnWidths()));
}

void FramePanes::attach(app::PlayerController&) {}

void FramePanes::setPanelText(int item, const std::string& utf8) {
  parts_->panel.setText(static_cast<std::size_t>(item), utf8);
}

void FramePanes::setPanelLamp(int item, bool lit) {
  monitor::setLamp(parts_->panel, static_cast<std::size_t>(item), lit);
}

std::string FramePanes::panelText(int item) const {
  return parts_->panel.item(static_cast<std::size_t>(item)).text;
}

bool FramePanes::panelLamp(int item) const {
  return parts_->panel.item(static_cast<std::size_t>(item)).background == monitor::kInk;
}

void FramePanes::resetMonitor() {}
void FramePanes::animate() {}
void FramePanes::updateLcd() {}
bool FramePanes::setFullScreen(bool) {
  return false;
}

void FramePanes::commandsChanged(const app::PlayerController&) {}

void FramePanes::refreshList(const app::PlayerController& controller) {
  std::vector<FileListRow> rows;
  rows.reserve(controller.count());
  for (std::size_t position = 0; position < controller.count(); ++position)
    rows.push_back(listRow(*controller.entryAt(position), spaceCut_));
  fileList().setRows(rows);
}

void FramePanes::refreshRow(const app::PlayerController& controller, int position) {
  if (const core::MIDIFile* entry = controller.entryAt(static_cast<std::size_t>(position)))
    fileList().updateRow(position, listRow(*entry, spaceCut_));
}

void FramePanes::setDocumentText(const std::string* bytes) {
  parts_->document->setPlainText(bytes ? fromCp932(*bytes) : QString());
}

void FramePanes::setWrdDebugText(const std::string* bytes) {
  parts_->wrdDebug->setPlainText(bytes ? fromCp932(*bytes) : QString());
}

void FramePanes::setWrdDebugCursor(std::size_t) {}

bool FramePanes::editList() {
  return false;
}

std::optional<std::vector<std::string>> FramePanes::editAlbum(const std::vector<std::string>&) {
  return std::nullopt;
}

}  // namespace volta::shell
