#include "player/shell/settings/wrd_config_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include "player/shell/panel/string_table.h"
#include "player/shell/settings/page_widgets.h"

namespace volta::shell {

namespace {

// The full screen shows 640 × 480 scaled onto a screen as it is: those are its modes.
void listScreenModes(QListWidget* list, int language) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QSize size = screen->size();
    list->addItem(QString::fromStdString(screenModeText(size.width(), size.height(), screen->depth(), language)));
  }
}

}  // namespace

TWRDConfigDialog::TWRDConfigDialog(int language, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QString::fromUtf8(text(text_id::kPageWrd, language)));
  auto* layout = new QVBoxLayout(this);
  autoWrd_ = addCheck(
      layout, pick(language, "WRDのある曲でWRD画面に切り替える", "Switch to the WRD screen for a song with WRD"));
  autoWrd2_ = addCheck(
      layout, pick(language, "WRDのない曲では元の画面に戻す", "Go back to the previous pane for a song without WRD"));
  highSpeed_ =
      addCheck(layout, pick(language, "高速描画 (待ちまでまとめて描く)", "Fast drawing (draw up to each wait)"));
  noWrd_ = addCheck(layout, pick(language, "WRDを使わない", "Play songs without their WRD"));

  auto* full = new QGroupBox(pick(language, "全画面表示", "Full screen"), this);
  auto* fullLayout = new QVBoxLayout(full);
  line480_ = addCheck(fullLayout, pick(language, "480ライン表示", "480 lines"));
  ddChange_ = addCheck(fullLayout, pick(language, "256色モードに切り替える", "Switch to 256 colours"));
  auto* vsyncRow = new QFormLayout;
  vsync_ = new QComboBox(full);
  vsync_->addItems({pick(language, "待たない", "Off"), pick(language, "帰線期間を調べる", "Test the blank"),
                    pick(language, "帰線期間の始まりを待つ", "Wait for the blank")});
  vsyncRow->addRow(QStringLiteral("VSYNC"), vsync_);
  fullLayout->addLayout(vsyncRow);
  // Full screen scales the picture onto the screen as it is: these two are kept, and change nothing here.
  for (QWidget* kept : {static_cast<QWidget*>(ddChange_), static_cast<QWidget*>(vsync_)}) {
    kept->setEnabled(false);
    kept->setToolTip(pick(language, "この環境では効果がありません (値は保存されます)",
                          "No effect on this system (the value is kept)"));
  }
  modes_ = new QListWidget(full);
  modes_->setSelectionMode(QAbstractItemView::NoSelection);
  modes_->setMaximumHeight(64);
  listScreenModes(modes_, language);
  fullLayout->addWidget(modes_);
  layout->addWidget(full);

  auto* fonts = new QFormLayout;
  wrdFont_ = new FileChoice(pick(language, "WRDフォント", "WRD font"), QStringLiteral("Unifont (*.hex);;* (*)"),
                            QString::fromUtf8(wrd::kDefaultWrdFontPath), this);
  kanaFont_ = new FileChoice(pick(language, "かなフォント", "Kana font"), QStringLiteral("FON (*.fon *.FON);;* (*)"),
                             QString::fromUtf8(core::kKanaFontName), this);
  fonts->addRow(pick(language, "WRDフォント", "WRD font"), wrdFont_);
  fonts->addRow(pick(language, "かなフォント", "Kana font"), kanaFont_);
  layout->addLayout(fonts);
  layout->addStretch(1);
  setValues(WrdValues{});
}

void TWRDConfigDialog::setValues(const WrdValues& values) {
  autoWrd_->setChecked(values.autoWrd);
  autoWrd2_->setChecked(values.autoWrd2);
  highSpeed_->setChecked(values.display.highSpeed);
  noWrd_->setChecked(values.noWrd);
  line480_->setChecked(values.display.line480);
  ddChange_->setChecked(values.ddChange);
  vsync_->setCurrentIndex(values.display.vsync);
  wrdFont_->set(values.display.wrdFont);
  kanaFont_->set(values.display.kanaFont);
}

WrdValues TWRDConfigDialog::values() const {
  WrdValues values;
  values.autoWrd = autoWrd_->isChecked();
  values.autoWrd2 = autoWrd2_->isChecked();
  values.display.highSpeed = highSpeed_->isChecked();
  values.noWrd = noWrd_->isChecked();
  values.display.line480 = line480_->isChecked();
  values.ddChange = ddChange_->isChecked();
  values.display.vsync = vsync_->currentIndex();
  values.display.wrdFont = wrdFont_->name();
  values.display.kanaFont = kanaFont_->name();
  return values;
}

}  // namespace volta::shell
