#include "player/shell/monitor/monitor_window.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>

#include "player/monitor/monitor_texts.h"

namespace volta::shell {

namespace layout = monitor_layout;
using layout::HeaderField;
using monitor::RowItem;

namespace {

constexpr int kFirstRepeatMs = 700, kRepeatMs = 100, kFastRepeatMs = 20;
constexpr int kMaxMasterVolume = 127;

const QColor kBackground(16, 16, 24), kInk(200, 224, 200), kMutedInk(120, 70, 70), kMuteLabel(110, 24, 24),
    kLabel(40, 56, 72), kTrack(40, 40, 56), kBar(64, 200, 96), kPeak(240, 64, 48), kWhiteKey(228, 228, 228),
    kBlackKey(24, 24, 24), kPressed(255, 140, 0), kMark(255, 200, 80);

QFont monitorFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(10);
  return font;
}

// The symbol font's degree marks as harmonic functions: tonic, subdominant, dominant.
QString markText(char code) {
  switch (code) {
    case 0x14:
      return QStringLiteral("T");
    case 0x1C:
      return QStringLiteral("t");
    case 0x11:
    case 0x10:
      return QStringLiteral("S");
    case 0x19:
      return QStringLiteral("s");
    case 0x12:
    case 0x1A:
      return QStringLiteral("D");
    case 0x13:
      return QStringLiteral("d");
    default:
      return QStringLiteral("\u00B7");
  }
}

QString rowLabel(int row) {
  return QString("%1%2").arg(QChar('A' + row / 16)).arg(row % 16 + 1, 2, 10, QChar('0'));
}

void drawSlider(QPainter& painter, const QRect& rect, int value, monitor::ItemRange range,
                std::optional<int> peak = std::nullopt) {
  painter.fillRect(rect, kTrack);
  const monitor::BarSpan bar = monitor::sliderBar(value, range, rect.width());
  painter.fillRect(QRect(rect.left() + bar.from, rect.top() + 3, bar.to - bar.from, rect.height() - 6), kBar);
  if (peak) {
    const int x = rect.left() + monitor::sliderBar(*peak, range, rect.width()).to;
    painter.fillRect(QRect(std::min(x, rect.right() - 1), rect.top() + 1, 2, rect.height() - 2), kPeak);
  }
}

void drawKeyboard(QPainter& painter, const QRect& rect, const monitor::MonitorRow& row, bool folded) {
  painter.fillRect(rect, kBackground);
  const std::bitset<12> foldedKeys = row.foldedKeys();
  auto pressed = [&](int key) {
    return folded ? foldedKeys[static_cast<std::size_t>(key)] : row.keys()[static_cast<std::size_t>(key)];
  };
  const int keys = folded ? 12 : monitor::kKeyboardNotes;
  for (const bool black : {false, true})  // the black keys lie over the white ones
    for (int key = 0; key < keys; ++key)
      if (layout::isBlackKey(key) == black)
        painter.fillRect(layout::keyRect(key, rect), pressed(key) ? kPressed : black ? kBlackKey : kWhiteKey);
}

void drawChord(QPainter& painter, const QRect& rect, const std::string& chord) {
  int x = rect.left();
  const QFontMetrics metrics(painter.font());
  std::size_t start = 0;
  while (start < chord.size()) {
    std::size_t end = chord.find(' ', start);
    if (end == std::string::npos) end = chord.size();
    const QString mark = markText(chord[start]);
    const QString name = QString::fromLatin1(chord.data() + start + 1, static_cast<int>(end - start - 1));
    painter.setPen(kMark);
    painter.drawText(QRect(x, rect.top(), rect.right() - x, rect.height()), Qt::AlignVCenter, mark);
    x += metrics.horizontalAdvance(mark);
    painter.setPen(kInk);
    painter.drawText(QRect(x, rect.top(), rect.right() - x, rect.height()), Qt::AlignVCenter, name);
    x += metrics.horizontalAdvance(name + ' ');
    start = end + 1;
  }
}

constexpr std::array<const char*, monitor::kRowItems> kCaptions = {
    "Vo", "Pn", "Ex", "Pb", "Rv", "Ch", "Dl",  "Md",  "VR",         "VD",  "Vd",  "Cf",   "Rs",
    "At", "Dc", "Rl", "H",  "S",  "s",  "Prg", "Bnk", "Instrument", "Map", "Key", "Chord"};

struct HeaderLabel {
  int x;
  const char* text;
};
constexpr std::array<HeaderLabel, 6> kHeaderLabels = {
    {{4, "BPM"}, {54, "TB"}, {140, "Key"}, {216, "Transpose"}, {300, "Vol"}, {410, "Notes"}}};

}  // namespace

TMonitorWindow::TMonitorWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(monitorFont());
  repeat_.setSingleShot(true);
  connect(&repeat_, &QTimer::timeout, this, &TMonitorWindow::repeatStep);
  header_.setTransposition(0);
  reset();
}

QSize TMonitorWindow::sizeHint() const {
  return QSize(640, 400);
}

void TMonitorWindow::setTitles(const std::string& first, const std::string& second) {
  std::lock_guard lock(state_.lock);
  titles_ = {first, second};
  header_.forgetKey();
  update(layout::headerRect(HeaderField::kTitle) | layout::headerRect(HeaderField::kSubtitle));
}

void TMonitorWindow::showControls(std::uint32_t muteMask, int transposition, int masterVolume) {
  std::lock_guard lock(state_.lock);
  if (muteMask != state_.muteMask) update();
  if (transposition != state_.transposition) update(layout::headerRect(HeaderField::kTransposition));
  if (masterVolume != state_.masterVolume) update(layout::headerRect(HeaderField::kVolume));
  state_.muteMask = muteMask;
  state_.transposition = transposition;
  state_.masterVolume = masterVolume;
  header_.setTransposition(transposition);
}

void TMonitorWindow::tick(const MonitorRecords& records, std::uint32_t nowMs) {
  std::lock_guard lock(state_.lock);
  updateHeader(records, nowMs);
  updateRows(records);
}

void TMonitorWindow::reset() {
  std::lock_guard lock(state_.lock);
  for (auto& row : rows_)
    row.update(nullptr, 0, resolve_);
  header_.update(nullptr, nullptr, 0);
  update();
}

void TMonitorWindow::updateHeader(const MonitorRecords& records, std::uint32_t nowMs) {
  const monitor::HeaderTexts before = header_.texts();
  header_.update(records.song, records.output, nowMs);
  const monitor::HeaderTexts& now = header_.texts();
  auto changed = [this](bool differs, HeaderField field) {
    if (differs) update(layout::headerRect(field));
  };
  changed(before.bpm != now.bpm, HeaderField::kBpm);
  changed(before.timeBase != now.timeBase, HeaderField::kTimeBase);
  changed(before.meter != now.meter, HeaderField::kMeter);
  changed(before.key != now.key, HeaderField::kKey);
  changed(before.notes != now.notes, HeaderField::kNotes);
  changed(before.noteSlider != now.noteSlider || before.notePeak != now.notePeak, HeaderField::kNoteSlider);
  if (records.output && records.output->lyricCounter != state_.lyricCounter) {
    state_.lyricCounter = records.output->lyricCounter;
    const std::string_view lyric(records.output->lyric, strnlen(records.output->lyric, sizeof records.output->lyric));
    titles_[0] = hooks_.decodeText ? hooks_.decodeText(lyric) : std::string(lyric);
    update(layout::headerRect(HeaderField::kTitle));
  }
}

void TMonitorWindow::updateRows(const MonitorRecords& records) {
  const monitor::RowSpan span = visible();
  for (int r = span.first; r <= span.last; ++r) {
    const protocol::ChannelState* channel = records.channels ? records.channels + r : nullptr;
    repaintRowItems(r, rows_[static_cast<std::size_t>(r)].update(channel, header_.key(), resolve_));
  }
}

void TMonitorWindow::repaintRowItems(int row, const monitor::RowChanges& changes) {
  if (changes.none()) return;
  const int top = rowTop(row);
  for (int item = 0; item < monitor::kRowItems; ++item)
    if (item != monitor::kKeyboard && changes[static_cast<std::size_t>(item)])
      update(layout::itemRect(static_cast<RowItem>(item), top, folded()));
  if (changes[monitor::kKeyboard]) repaintKeys(rows_[static_cast<std::size_t>(row)], top);
}

// Only the keys whose pressed state changed; folded, a pitch class may keep its state.
void TMonitorWindow::repaintKeys(const monitor::MonitorRow& row, int top) {
  const QRect keyboard = layout::itemRect(monitor::kKeyboard, top, folded());
  if (folded()) {
    const auto before = monitor::MonitorRow::fold(row.keys() ^ row.changedKeys());
    const std::bitset<12> changed = before ^ row.foldedKeys();
    for (int key = 0; key < 12; ++key)
      if (changed[static_cast<std::size_t>(key)]) update(layout::keyRect(key, keyboard));
    return;
  }
  for (int key = 0; key < monitor::kKeyboardNotes; ++key)
    if (row.changedKeys()[static_cast<std::size_t>(key)]) update(layout::keyRect(key, keyboard));
}

int TMonitorWindow::rowTop(int row) const {
  return layout::rowTop(row - scroll_);
}

void TMonitorWindow::setScroll(int firstRow) {
  const int rows = std::max(1, (height() - monitor::kFirstRowTop) / monitor::kRowHeight);
  const int scroll = std::clamp(firstRow, 0, std::max(0, monitor::kMonitorRows - rows));
  if (scroll == scroll_) return;
  scroll_ = scroll;
  update();
}

QRect TMonitorWindow::itemRectOf(int row, RowItem item) const {
  const monitor::RowSpan span = visible();
  if (row < span.first || row > span.last) return {};
  return layout::itemRect(item, rowTop(row), folded());
}

QRect TMonitorWindow::labelRectOf(int row) const {
  const monitor::RowSpan span = visible();
  if (row < span.first || row > span.last) return {};
  return layout::labelRect(rowTop(row));
}

// ---- painting ----

void TMonitorWindow::paintEvent(QPaintEvent* event) {
  std::lock_guard lock(state_.lock);
  QPainter painter(this);
  painter.fillRect(event->rect(), kBackground);
  if (event->rect().top() < monitor::kFirstRowTop) paintHeader(painter, event->region());
  const monitor::RowSpan span = visible();
  for (int r = span.first; r <= span.last; ++r) {
    const QRect band(0, rowTop(r), width(), monitor::kRowHeight);
    if (event->region().intersects(band)) paintRow(painter, event->region(), r);
  }
}

void TMonitorWindow::paintHeader(QPainter& painter, const QRegion& region) {
  const monitor::HeaderTexts& t = header_.texts();
  painter.setPen(kInk);
  auto text = [&](HeaderField field, const std::string& value) {
    const QRect rect = layout::headerRect(field);
    if (region.intersects(rect))
      painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(value));
  };
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  text(HeaderField::kTitle, titles_[0]);
  painter.setFont(font());
  text(HeaderField::kSubtitle, titles_[1]);
  text(HeaderField::kBpm, t.bpm);
  text(HeaderField::kTimeBase, t.timeBase);
  text(HeaderField::kMeter, t.meter);
  text(HeaderField::kKey, t.key);
  text(HeaderField::kTransposition, t.transposition);
  text(HeaderField::kNotes, t.notes);
  painter.setPen(kMark);
  for (const HeaderLabel& label : kHeaderLabels)
    painter.drawText(QPoint(label.x, 45), label.text);
  drawSlider(painter, layout::headerRect(HeaderField::kVolume), state_.masterVolume, {0, kMaxMasterVolume});
  drawSlider(painter, layout::headerRect(HeaderField::kNoteSlider), t.noteSlider, {0, 128}, t.notePeak);
  painter.drawText(QRect(layout::kLabelLeft, 50, 30, 14), Qt::AlignVCenter, QStringLiteral("Ch"));
  for (int item = 0; item < monitor::kRowItems; ++item)
    painter.drawText(layout::itemRect(static_cast<RowItem>(item), 50 - layout::kItemTop, folded()),
                     Qt::AlignLeft | Qt::AlignVCenter, kCaptions[static_cast<std::size_t>(item)]);
}

void TMonitorWindow::paintRow(QPainter& painter, const QRegion& region, int r) {
  const monitor::MonitorRow& row = rows_[static_cast<std::size_t>(r)];
  const int top = rowTop(r);
  const bool muted = monitor::rowMuted(state_.muteMask, r);
  const QRect label = layout::labelRect(top);
  painter.fillRect(label, muted ? kMuteLabel : kLabel);
  painter.setPen(kInk);
  painter.drawText(label, Qt::AlignCenter, rowLabel(r));
  for (int index = 0; index < monitor::kRowItems; ++index) {
    const auto item = static_cast<RowItem>(index);
    const QRect rect = layout::itemRect(item, top, folded());
    if (!region.intersects(rect)) continue;
    if (monitor::isSlider(item)) {
      drawSlider(painter, rect, row.value(item), monitor::itemRange(item));
    } else if (monitor::isIndicator(item)) {
      painter.fillRect(rect.adjusted(0, 4, 0, -4), row.value(item) ? kBar : kTrack);
    } else if (item == monitor::kKeyboard) {
      drawKeyboard(painter, rect, row, folded());
    } else if (item == monitor::kChord) {
      drawChord(painter, rect, row.chord());
    } else {
      painter.setPen(muted ? kMutedInk : kInk);
      painter.save();
      painter.setClipRect(rect);  // long instrument names stop at their column
      painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(row.text(item)));
      painter.restore();
    }
  }
}

// ---- controls ----

void TMonitorWindow::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const bool fast = (event->modifiers() & Qt::ShiftModifier) != 0;
  if (at.y() < monitor::kFirstRowTop) {
    pressHeader(at, event->button(), fast);
    return;
  }
  if (const auto row = rowAt(at.y())) pressRow(*row, at, event->button(), fast);
}

void TMonitorWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const auto row = rowAt(at.y());
  if (row && layout::itemAt(at.x(), folded()) == monitor::kKeyboard) emit pianoRollRequested(*row);
}

std::optional<int> TMonitorWindow::rowAt(int y) const {
  if (y < monitor::kFirstRowTop) return std::nullopt;
  const int row = scroll_ + (y - monitor::kFirstRowTop) / monitor::kRowHeight;
  return row <= visible().last ? std::optional<int>(row) : std::nullopt;
}

void TMonitorWindow::mouseReleaseEvent(QMouseEvent*) {
  repeat_.stop();
}

void TMonitorWindow::wheelEvent(QWheelEvent* event) {
  setScroll(scroll_ - event->angleDelta().y() / 40);
}

void TMonitorWindow::pressHeader(QPoint at, Qt::MouseButton button, bool fast) {
  const int step = button == Qt::RightButton ? -1 : 1;
  if (layout::headerRect(HeaderField::kTransposition).contains(at)) {
    if (hooks_.setTransposition) hooks_.setTransposition(state_.transposition + step);
    startRepeat({-1, monitor::kProgram, step, 0}, fast);
    return;
  }
  const QRect volume = layout::headerRect(HeaderField::kVolume);
  if (volume.contains(at) && hooks_.setMasterVolume)
    hooks_.setMasterVolume((at.x() - volume.left()) * kMaxMasterVolume / std::max(1, volume.width() - 1));
}

void TMonitorWindow::pressRow(int row, QPoint at, Qt::MouseButton button, bool fast) {
  if (layout::labelRect(rowTop(row)).contains(at)) {
    if (hooks_.setMuteMask) hooks_.setMuteMask(monitor::toggleRowMute(state_.muteMask, row));
    return;
  }
  const std::optional<RowItem> item = layout::itemAt(at.x(), folded());
  if (!item) return;
  const monitor::MonitorRow& current = rows_[static_cast<std::size_t>(row)];
  const monitor::ItemRange range = monitor::itemRange(*item);
  if (*item == monitor::kName || *item == monitor::kMap) {
    if (hooks_.showMessage) hooks_.showMessage(QStringLiteral("まだできていません。"));
  } else if (monitor::isSlider(*item)) {
    const QRect rect = layout::itemRect(*item, rowTop(row), folded());
    changeItem(
        row, *item,
        range.minimum + (at.x() - rect.left()) * (range.maximum - range.minimum) / std::max(1, rect.width() - 1));
  } else if (monitor::isIndicator(*item)) {
    changeItem(row, *item, current.value(*item) ? 0 : 1);
  } else if (*item < monitor::kValueItems) {
    const int step = button == Qt::RightButton ? -1 : 1;
    const int value = std::clamp(current.value(*item) + step, range.minimum, range.maximum);
    changeItem(row, *item, value);
    startRepeat({row, *item, step, value}, fast);
  }
}

void TMonitorWindow::changeItem(int row, RowItem item, int value) {
  const monitor::MonitorRow& current = rows_[static_cast<std::size_t>(row)];
  for (const std::uint32_t message :
       monitor::controlMessages(item, row % 16, value, current.value(monitor::kProgram), current.names().bankType))
    if (hooks_.sendChannel) hooks_.sendChannel(row / 16, message);
}

void TMonitorWindow::startRepeat(const Press& press, bool fast) {
  press_ = press;
  fastRepeat_ = fast;
  repeat_.start(kFirstRepeatMs);
}

void TMonitorWindow::repeatStep() {
  if (press_.row < 0) {
    if (hooks_.setTransposition) hooks_.setTransposition(state_.transposition + press_.step);
  } else {
    const monitor::ItemRange range = monitor::itemRange(press_.item);
    press_.value = std::clamp(press_.value + press_.step, range.minimum, range.maximum);
    changeItem(press_.row, press_.item, press_.value);
  }
  repeat_.start(fastRepeat_ ? kFastRepeatMs : kRepeatMs);
}

}  // namespace volta::shell
