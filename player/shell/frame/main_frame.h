#pragma once
// The main window: menu bar, status panel on top, button bar and position slider,
// and an area of 640 × 400 (480 in the WRD screen's 480-line mode) showing one of
// the five panes. A pane marked "framed" lives in a top-level window of its own.
// The window cannot be resized: its size always follows the mode (a pane, or mini
// without one). It only presents; every decision is the application's.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>

class QSlider;
class QStackedWidget;
class QVBoxLayout;

namespace volta::shell {

inline constexpr int kPaneCount = 5;
inline constexpr int kMiniPane = -1;
inline constexpr int kListPane = 2;
inline constexpr int kPaneWidth = 640;
inline constexpr int kPaneHeight = 400;
inline constexpr int kTallPaneHeight = 480;

// The caption of a pane's own frame window.
QString paneCaption(int pane);

// A pane's own top-level window, used while the pane is framed.
class TPaneFrame : public QWidget {
  Q_OBJECT

 public:
  TPaneFrame(int pane, QWidget* owner);
  int pane() const { return pane_; }

 signals:
  void closedByUser(int pane);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  int pane_;
};

class TMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainFrame(QWidget* parent = nullptr);
  ~TMainFrame() override;

  // The pieces the application hands in; each is owned by the frame afterwards.
  void setStatusPanel(QWidget* panel);
  void setButtonBar(QWidget* bar);
  void setPaneContent(int pane, QWidget* content);
  QWidget* paneContent(int pane) const;
  QWidget* statusPanel() const { return statusPanel_; }
  QWidget* buttonBar() const { return buttonBar_; }
  TPaneFrame* paneFrame(int pane) const;

  // Shows pane p in the pane area, or no pane for -1 (mini); resizes the window.
  void showPane(int pane);
  int shownPane() const { return shownPane_; }

  // A framed pane lives in its own window, shown or hidden independently.
  void setFramed(int pane, bool framed);
  bool framed(int pane) const;
  void setFrameVisible(int pane, bool visible);
  bool frameVisible(int pane) const;

  // 400 or 480 pane lines.
  void setPaneHeight(int lines);
  int paneHeight() const { return paneHeight_; }
  // The setting; while it hides the bar, Alt (or F10 when no key record holds it) shows it
  // until its menu closes.
  void setMenuBarShown(bool shown);
  void peekMenuBar();
  // The window's context menu: the items that must stay reachable without the menu bar.
  void setContextActions(const QList<QAction*>& actions);

  // Tenths of a second.
  void setSlider(int range, int value);
  QSlider* slider() const { return slider_; }
  bool sliderDragged() const;

  // True when the active window is this one or one of the pane frames.
  bool playerWindowActive() const;
  // The size the window keeps in the current mode.
  QSize modeSize() const;

 signals:
  void commandChosen(int id);
  // The user let the slider go (or clicked its track): the position in tenths of a second.
  void sliderReleased(int value);
  void frameClosed(int pane);
  void closing();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void endPeek();
  struct PaneSlot {
    QPointer<QWidget> content;
    QWidget* page = nullptr;
    TPaneFrame* window = nullptr;
    bool framed = false;
  };
  void placeContent(PaneSlot& slot, QWidget* holder);
  void fixSize();

  QWidget* central_;
  QVBoxLayout* layout_;
  QWidget* statusPanel_ = nullptr;
  QWidget* buttonBar_ = nullptr;
  QSlider* slider_;
  QStackedWidget* panes_;
  std::array<PaneSlot, kPaneCount> slots_;
  int shownPane_ = 0;
  int paneHeight_ = kPaneHeight;
  bool menuBarShown_ = true;
  bool peeking_ = false;
  bool altAlone_ = false;  // Alt went down with no other key since
};

}  // namespace volta::shell
