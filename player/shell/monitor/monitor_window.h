#pragma once
// The performance monitor: a header with the song's tempo, metre, key, transposition,
// master volume and sounding notes, and one row per channel of ports A to C. Each
// timer tick updates the visible rows from the engine's records and repaints only the
// items that changed. Its controls report through hooks; the window sends nothing itself.

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "engine/protocol/records.h"
#include "player/monitor/monitor_model.h"
#include "player/shell/monitor/monitor_layout.h"

namespace volta::shell {

struct MonitorHooks {
  std::function<void(int port, std::uint32_t message)> sendChannel;
  std::function<void(std::uint32_t mask)> setMuteMask;
  std::function<void(int semitones)> setTransposition;
  std::function<void(int volume)> setMasterVolume;
  std::function<void(const QString& text)> showMessage;           // controls not made yet
  std::function<std::string(std::string_view bytes)> decodeText;  // the song's bytes as UTF-8
};

// One tick's records; any may be null (no song, no output).
struct MonitorRecords {
  const protocol::SequencerStatus* song = nullptr;
  const protocol::OutputStatus* output = nullptr;
  const protocol::ChannelState* channels = nullptr;  // 48: ports A, B, C
};

class TMonitorWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TMonitorWindow(QWidget* parent = nullptr);

  void setHooks(MonitorHooks hooks) { hooks_ = std::move(hooks); }
  void setInstrumentResolver(monitor::InstrumentResolver resolve) { resolve_ = std::move(resolve); }
  // The two title lines of a song that starts; the key is shown afresh.
  void setTitles(const std::string& first, const std::string& second);
  // The values the player holds, shown in the header and the mute colours.
  void showControls(std::uint32_t muteMask, int transposition, int masterVolume);
  // The 50 ms update, with the time for the note peak.
  void tick(const MonitorRecords& records, std::uint32_t nowMs);
  // Back to no song: every row cleared.
  void reset();

  const monitor::MonitorRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
  const monitor::HeaderTexts& header() const { return header_.texts(); }
  const std::string& title() const { return titles_[0]; }
  monitor::RowSpan visible() const { return monitor::visibleRows(height(), scroll_); }
  void setScroll(int firstRow);
  // Where a row's item is on screen, for tests and tools; empty when not visible.
  QRect itemRectOf(int row, monitor::RowItem item) const;
  QRect labelRectOf(int row) const;

  QSize sizeHint() const override;

 signals:
  // A double click on a row's keyboard asks for the row's piano roll.
  void pianoRollRequested(int row);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  struct Press {
    int row = -1;  // -1: the transposition
    monitor::RowItem item = monitor::kProgram;
    int step = 0;
    int value = 0;  // what the last step sent; the engine's record follows a tick later
  };
  void updateRows(const MonitorRecords& records);
  void updateHeader(const MonitorRecords& records, std::uint32_t nowMs);
  void repaintRowItems(int row, const monitor::RowChanges& changes);
  void repaintKeys(const monitor::MonitorRow& row, int top);
  void pressRow(int row, QPoint at, Qt::MouseButton button, bool fast);
  // The visible row under y, if any.
  std::optional<int> rowAt(int y) const;
  void pressHeader(QPoint at, Qt::MouseButton button, bool fast);
  void changeItem(int row, monitor::RowItem item, int value);
  void startRepeat(const Press& press, bool fast);
  void repeatStep();
  int rowTop(int row) const;
  bool folded() const { return monitor_layout::foldedKeyboard(width()); }
  void paintHeader(QPainter& painter, const QRegion& region);
  void paintRow(QPainter& painter, const QRegion& region, int row);

  std::array<monitor::MonitorRow, monitor::kMonitorRows> rows_;
  monitor::MonitorHeader header_;
  monitor::MonitorState state_;
  std::array<std::string, 2> titles_;
  monitor::InstrumentResolver resolve_;
  MonitorHooks hooks_;
  int scroll_ = 0;
  QTimer repeat_;
  Press press_;
  bool fastRepeat_ = false;
};

}  // namespace volta::shell
