#include "player/shell/frame/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "player/core/app/command_ids.h"

namespace volta::shell {

namespace {

// Keys users expect of a media player beyond the key table and the fixed accelerators, which
// come first (the key dispatcher sees every key before the window's shortcuts do).
struct FixedKey {
  QKeyCombination key;
  int command;
};
constexpr FixedKey kFixedKeys[] = {
    {QKeyCombination(Qt::Key_Space), app::cmd::kPlayPause},
    {QKeyCombination(Qt::CTRL, Qt::Key_Q), app::cmd::kExit},
    {QKeyCombination(Qt::Key_MediaPlay), app::cmd::kPlayPause},
    {QKeyCombination(Qt::Key_MediaTogglePlayPause), app::cmd::kPlayPause},
    {QKeyCombination(Qt::Key_MediaPause), app::cmd::kPause},
    {QKeyCombination(Qt::Key_MediaStop), app::cmd::kStop},
    {QKeyCombination(Qt::Key_MediaNext), app::cmd::kNext},
    {QKeyCombination(Qt::Key_MediaPrevious), app::cmd::kPrevious},
};

// A click on the slider's track jumps to the clicked position instead of one page.
class JumpingSliderStyle final : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

QVBoxLayout* bareLayout(QWidget* holder) {
  auto* layout = new QVBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

}  // namespace

QString paneCaption(int pane) {
  static const std::array<const char*, kPaneCount> kCaptions{
      "WRD画面 - VOLTA Player", "ドキュメント閲覧 - VOLTA Player", "曲順リスト - VOLTA Player",
      "演奏モニタ - VOLTA Player", "WRDデバッグウィンドウ - VOLTA Player"};
  return pane >= 0 && pane < kPaneCount ? QString::fromUtf8(kCaptions[static_cast<std::size_t>(pane)]) : QString();
}

TPaneFrame::TPaneFrame(int pane, QWidget* owner) : QWidget(owner, Qt::Window), pane_(pane) {
  setWindowTitle(paneCaption(pane));
  bareLayout(this);
}

void TPaneFrame::closeEvent(QCloseEvent* event) {
  // Closing a pane's window only hides it; the pane stays framed.
  event->accept();
  emit closedByUser(pane_);
}

TMainFrame::TMainFrame(QWidget* parent)
    : QMainWindow(parent),
      central_(new QWidget(this)),
      layout_(bareLayout(central_)),
      slider_(new QSlider(Qt::Horizontal)),
      panes_(new QStackedWidget) {
  setWindowTitle(QStringLiteral("VOLTA Player"));
  setCentralWidget(central_);
  slider_->setRange(0, 0);
  slider_->setFocusPolicy(Qt::NoFocus);
  panes_->setFixedSize(kPaneWidth, kPaneHeight);
  layout_->addWidget(slider_);
  layout_->addWidget(panes_);
  for (int pane = 0; pane < kPaneCount; ++pane) {
    PaneSlot& slot = slots_[static_cast<std::size_t>(pane)];
    slot.page = new QWidget;
    bareLayout(slot.page);
    panes_->addWidget(slot.page);
    slot.window = new TPaneFrame(pane, this);
    slot.window->resize(400, 350);
    connect(slot.window, &TPaneFrame::closedByUser, this, &TMainFrame::frameClosed);
  }
  connect(slider_, &QSlider::sliderReleased, this, [this] { emit sliderReleased(slider_->value()); });
  // A key (or a click outside the handle with another button) moves the slider in one step:
  // that is a release too, taken after the slider applied the step.
  connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
    if (action == QAbstractSlider::SliderMove || slider_->isSliderDown()) return;
    QTimer::singleShot(0, this, [this] { emit sliderReleased(slider_->value()); });
  });
  auto* jumping = new JumpingSliderStyle;
  jumping->setParent(slider_);
  slider_->setStyle(jumping);
  for (const FixedKey& fixed : kFixedKeys) {
    auto* shortcut = new QShortcut(QKeySequence(fixed.key), this);
    connect(shortcut, &QShortcut::activated, this, [this, command = fixed.command] { emit commandChosen(command); });
  }
  fixSize();
}

TMainFrame::~TMainFrame() {
  // Framed panes' windows are children of the frame; contents go with their holders.
  for (PaneSlot& slot : slots_)
    delete slot.window;
}

void TMainFrame::setStatusPanel(QWidget* panel) {
  delete statusPanel_;
  statusPanel_ = panel;
  layout_->insertWidget(0, panel);
  fixSize();
}

void TMainFrame::setButtonBar(QWidget* bar) {
  delete buttonBar_;
  buttonBar_ = bar;
  layout_->insertWidget(statusPanel_ ? 1 : 0, bar);
  fixSize();
}

void TMainFrame::placeContent(PaneSlot& slot, QWidget* holder) {
  if (!slot.content) return;
  slot.content->setParent(holder);
  holder->layout()->addWidget(slot.content);
  slot.content->show();
}

void TMainFrame::setPaneContent(int pane, QWidget* content) {
  PaneSlot& slot = slots_.at(static_cast<std::size_t>(pane));
  delete slot.content;
  slot.content = content;
  placeContent(slot, slot.framed ? static_cast<QWidget*>(slot.window) : slot.page);
}

QWidget* TMainFrame::paneContent(int pane) const {
  return slots_.at(static_cast<std::size_t>(pane)).content;
}

TPaneFrame* TMainFrame::paneFrame(int pane) const {
  return slots_.at(static_cast<std::size_t>(pane)).window;
}

void TMainFrame::showPane(int pane) {
  shownPane_ = pane >= 0 && pane < kPaneCount ? pane : kMiniPane;
  panes_->setVisible(shownPane_ != kMiniPane);
  if (shownPane_ != kMiniPane) panes_->setCurrentIndex(shownPane_);
  fixSize();
}

void TMainFrame::setFramed(int pane, bool framed) {
  PaneSlot& slot = slots_.at(static_cast<std::size_t>(pane));
  if (slot.framed == framed) return;
  slot.framed = framed;
  placeContent(slot, framed ? static_cast<QWidget*>(slot.window) : slot.page);
  if (!framed) slot.window->hide();
}

bool TMainFrame::framed(int pane) const {
  return slots_.at(static_cast<std::size_t>(pane)).framed;
}

void TMainFrame::setFrameVisible(int pane, bool visible) {
  TPaneFrame* window = slots_.at(static_cast<std::size_t>(pane)).window;
  if (!visible) return window->hide();
  window->showNormal();
  window->raise();
}

bool TMainFrame::frameVisible(int pane) const {
  return slots_.at(static_cast<std::size_t>(pane)).window->isVisible();
}

void TMainFrame::setPaneHeight(int lines) {
  paneHeight_ = lines == kTallPaneHeight ? kTallPaneHeight : kPaneHeight;
  panes_->setFixedSize(kPaneWidth, paneHeight_);
  fixSize();
}

void TMainFrame::setMenuBarShown(bool shown) {
  // Called at every change of the commands' state: a peeked bar stays while the setting does.
  if (shown == menuBarShown_ && (peeking_ || menuBar()->isHidden() != shown)) return;
  menuBarShown_ = shown;
  peeking_ = false;
  menuBar()->setVisible(shown);
  fixSize();
}

void TMainFrame::peekMenuBar() {
  if (menuBarShown_ || peeking_ || menuBar()->actions().isEmpty()) return;
  peeking_ = true;
  menuBar()->setVisible(true);
  for (QAction* top : menuBar()->actions())
    if (QMenu* menu = top->menu()) connect(menu, &QMenu::aboutToHide, this, &TMainFrame::endPeek, Qt::UniqueConnection);
  menuBar()->setActiveAction(menuBar()->actions().first());
}

// A closing menu may hand over to its neighbour (arrow keys): the bar goes once no menu is open.
void TMainFrame::endPeek() {
  QTimer::singleShot(0, this, [this] {
    if (!peeking_ || menuBar()->activeAction()) return;
    peeking_ = false;
    menuBar()->setVisible(false);
  });
}

void TMainFrame::setContextActions(const QList<QAction*>& actions) {
  for (QAction* old : central_->actions())
    central_->removeAction(old);
  central_->addActions(actions);
  central_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TMainFrame::keyPressEvent(QKeyEvent* event) {
  altAlone_ = event->key() == Qt::Key_Alt;
  // F10 reaches here only when no record of the key table holds it (by default it is the monitor).
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) return peekMenuBar();
  QMainWindow::keyPressEvent(event);
}

void TMainFrame::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Alt && altAlone_) peekMenuBar();
  altAlone_ = false;
  QMainWindow::keyReleaseEvent(event);
}

void TMainFrame::setSlider(int range, int value) {
  if (slider_->maximum() != range) slider_->setRange(0, std::max(range, 0));
  if (!slider_->isSliderDown()) slider_->setValue(value);
}

bool TMainFrame::sliderDragged() const {
  return slider_->isSliderDown();
}

bool TMainFrame::playerWindowActive() const {
  const QWidget* active = QApplication::activeWindow();
  if (!active) return false;
  if (active == this) return true;
  for (const PaneSlot& slot : slots_)
    if (active == slot.window) return true;
  return false;
}

QSize TMainFrame::modeSize() const {
  const int panelWidth = statusPanel_ ? statusPanel_->sizeHint().width() : 0;
  const int width = std::max(kPaneWidth, panelWidth);
  int height = slider_->sizeHint().height();
  if (statusPanel_) height += statusPanel_->sizeHint().height();
  if (buttonBar_) height += buttonBar_->sizeHint().height();
  if (shownPane_ != kMiniPane) height += paneHeight_;
  if (!menuBar()->isHidden()) height += menuBar()->sizeHint().height();
  return {width, height};
}

void TMainFrame::fixSize() {
  setFixedSize(modeSize());
}

void TMainFrame::closeEvent(QCloseEvent* event) {
  emit closing();
  QMainWindow::closeEvent(event);
}

}  // namespace volta::shell
