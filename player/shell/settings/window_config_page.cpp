#include "player/shell/settings/window_config_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "player/shell/panel/string_table.h"
#include "player/shell/settings/page_widgets.h"

namespace volta::shell {

namespace {

// The slider runs from lowest (0) to highest (4); the setting from -2 to 2.
constexpr int kPriorityOffset = 2;

QGroupBox* group(const QString& title, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  new QVBoxLayout(box);
  return box;
}

QVBoxLayout* layoutOf(QGroupBox* box) {
  return static_cast<QVBoxLayout*>(box->layout());
}

}  // namespace

TWindowConfigDialog::TWindowConfigDialog(int language, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageWindow, language)));
  auto* layout = new QVBoxLayout(this);

  QGroupBox* framed = group(pick(language, "別ウィンドウで表示", "Show in a window of its own"), this);
  auto* paneRow = new QHBoxLayout;
  layoutOf(framed)->addLayout(paneRow);
  const char* paneNames[] = {"WRD", "Document", "List", "Monitor", "WRD Debug"};
  for (std::size_t pane = 0; pane < panes_.size(); ++pane) {
    panes_[pane] = new QCheckBox(QString::fromUtf8(paneNames[pane]), framed);
    paneRow->addWidget(panes_[pane]);
  }
  layout->addWidget(framed);

  QGroupBox* priorityBox = group(pick(language, "優先度", "Priority"), this);
  auto* priorityRow = new QHBoxLayout;
  layoutOf(priorityBox)->addLayout(priorityRow);
  priority_ = new QSlider(Qt::Horizontal, priorityBox);
  priority_->setRange(0, 4);
  priority_->setTickPosition(QSlider::TicksBelow);
  priority_->setPageStep(1);
  priorityRow->addWidget(new QLabel(pick(language, "低", "Low"), priorityBox));
  priorityRow->addWidget(priority_, 1);
  priorityRow->addWidget(new QLabel(pick(language, "高", "High"), priorityBox));
  layout->addWidget(priorityBox);

  QGroupBox* mini = group(pick(language, "小型化の表示", "Mini mode shows"), this);
  mini_[0] = new QRadioButton(pick(language, "液晶とステータス/ボタン", "LCD and status/buttons"), mini);
  mini_[1] = new QRadioButton(pick(language, "ステータス/ボタンのみ", "Status/buttons only"), mini);
  // Only a stored value chooses the LCD alone; the choice keeps it.
  mini_[2] = new QRadioButton(pick(language, "液晶のみ", "LCD only"), mini);
  mini_[2]->hide();
  for (QRadioButton* choice : mini_)
    layoutOf(mini)->addWidget(choice);
  miniAlwaysTop_ = addCheck(layoutOf(mini), pick(language, "小型化時は常に手前に表示", "Mini window stays on top"));
  layout->addWidget(mini);

  QGroupBox* other = group(pick(language, "その他", "Other"), this);
  autoDropPlay_ = addCheck(layoutOf(other), pick(language, "ドロップした曲を演奏する", "Play the first dropped song"));
  ddNoRead_ = addCheck(layoutOf(other),
                       pick(language, "全画面表示を使わない (次回起動時から)", "No full screen (from the next start)"));
  trayIcon_ = addCheck(layoutOf(other), pick(language, "タスクトレイにアイコンを表示", "Icon in the system tray"));
  idleNoAct_ =
      addCheck(layoutOf(other), pick(language, "アイドル時に表示を更新しない", "No display updates in idle time"));
  idleNoAct2_ = addCheck(layoutOf(other), QStringLiteral("IdleNoAct2"));
  idleNoAct2_->hide();
  shortCut_ = new QLineEdit(other);
  shortCut_->hide();
  layout->addWidget(other);
  layout->addStretch(1);
  setValues(WindowValues{});
}

void TWindowConfigDialog::setValues(const WindowValues& values) {
  for (std::size_t pane = 0; pane < panes_.size(); ++pane)
    panes_[pane]->setChecked(values.frameMode[pane]);
  priority_->setValue(values.priorityLevel + kPriorityOffset);
  mini_.at(static_cast<std::size_t>(values.minimize))->setChecked(true);
  miniAlwaysTop_->setChecked(values.miniAlwaysTop);
  autoDropPlay_->setChecked(values.autoDropPlay);
  ddNoRead_->setChecked(values.ddNoRead);
  trayIcon_->setChecked(values.trayIcon);
  idleNoAct_->setChecked(values.idleNoAct);
  idleNoAct2_->setChecked(values.idleNoAct2);
  shortCut_->setText(QString::fromStdString(values.shortCut));
}

WindowValues TWindowConfigDialog::values() const {
  WindowValues values;
  for (std::size_t pane = 0; pane < panes_.size(); ++pane)
    values.frameMode[pane] = panes_[pane]->isChecked();
  values.priorityLevel = priority_->value() - kPriorityOffset;
  for (std::size_t choice = 0; choice < mini_.size(); ++choice)
    if (mini_[choice]->isChecked()) values.minimize = static_cast<int>(choice);
  values.miniAlwaysTop = miniAlwaysTop_->isChecked();
  values.autoDropPlay = autoDropPlay_->isChecked();
  values.ddNoRead = ddNoRead_->isChecked();
  values.trayIcon = trayIcon_->isChecked();
  values.idleNoAct = idleNoAct_->isChecked();
  values.idleNoAct2 = idleNoAct2_->isChecked();
  values.shortCut = shortCut_->text().toStdString();
  return values;
}

bool TWindowConfigDialog::write(platform::settings::SettingsStore& store) const {
  return writeValues(store, values());
}

}  // namespace volta::shell
