#pragma once
// The window half of the WRD display: shows a 640x480 image of palette indices through an
// 8-bit indexed image and its colour table, with a short status label, and is the display
// of Sherry scripts. TWRDWindow adds the WRD interpreter.

#include <QImage>
#include <QList>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "player/wrd/screen.h"
#include "player/wrd/sherry/vscreen.h"

class QMenu;

namespace volta::shell {

inline constexpr int kWrdImageWidth = 640;
inline constexpr int kWrdImageHeight = 480;
// A WRD script's 640x400 area sits this far below the top of the 480 rows.
inline constexpr int kWrdAreaTop = 40;
inline constexpr int kWrdAreaHeight = 400;
inline constexpr int kStatusLabelMs = 1000;
inline constexpr int kPropertyCommand = 8002;

class T256WRDWindow : public QWidget, public wrd::sherry::SVScreen {
  Q_OBJECT

 public:
  explicit T256WRDWindow(QWidget* parent = nullptr, std::shared_ptr<const wrd::UnifontFace> face = nullptr);
  ~T256WRDWindow() override;

  // Without a logical palette the colour tables hold colours; with one they hold indices into
  // it (the WRD screen from `base`), and the 16 animated entries follow bank 0.
  void setLogicalPalette(std::optional<std::vector<QRgb>> entries, int base);

  // (client height - 480) / 2, truncated towards zero.
  int verticalOffset() const { return (height() - kWrdImageHeight) / 2; }
  // Where the image's top left lies in the window.
  QPoint imageOrigin() const { return {0, originY(verticalOffset())}; }
  bool showingSherry() const { return sherry_; }

  const QString& statusLabel() const { return statusLabel_; }
  // A different label repaints the window; a non-empty one is shown for one second.
  void setStatusLabel(const QString& label);
  // The end of the label's second (the timer's expiry).
  void expireStatusLabel();
  const QTimer& statusTimer() const { return statusTimer_; }

  // The pop-up of the right mouse button: one item, "P&roperty", sending kPropertyCommand.
  QMenu* createContextMenu(QWidget* parent);

  // Paints the image as the window does with its top `offset` rows above the 480 rows, in
  // an area of `area` pixels and limited to `region`. The full-screen window uses it too.
  void paintImage(QPainter& painter, const QRegion& region, int offset, QSize area);

  // Marks the window rectangle of a WRD-surface rectangle for repainting.
  void invalidateSurface(const wrd::Rect& rect);
  // Paints what is marked before returning.
  void repaintNow();
  // Window rectangles marked and not yet painted.
  const QRegion& pendingRegion() const { return pending_; }

  // Sherry scripts' display.
  void refresh() override;
  void showRect(const wrd::sherry::SVirtualScreen& screen, const wrd::sherry::SShownRect& rect) override;
  void setColours(const wrd::sherry::SPalette& palette) override;
  wrd::GlyphRows doubleByteGlyph(std::uint16_t shiftJis) override;
  wrd::GlyphRows singleByteGlyph(std::uint8_t byte) override;
  const wrd::sherry::SDisplay& sherryDisplay() const { return display_; }
  void setSherryFace(std::shared_ptr<const wrd::UnifontFace> face) { display_.setFace(std::move(face)); }

 signals:
  void command(int id);
  // Some of the image changed (the full-screen window follows it).
  void imageChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

  // The WRD composite and its colour table, shown when no Sherry script is.
  void setWrdSource(const wrd::Surface* composite, const std::array<std::uint32_t, 256>* colourTable);
  void setSherryMode(bool on);
  wrd::sherry::SDisplay& display() { return display_; }
  // The debug log of the WRD display (none here).
  virtual void logLine(std::string_view text);
  // After each paint.
  virtual void painted() {}
  // Bank 0 as it now stands, for the animated entries of a logical palette.
  void animatePalette(const std::array<std::uint32_t, 16>& bank0);

 private:
  int originY(int offset) const { return offset + (sherry_ ? 0 : kWrdAreaTop); }
  QRect imageArea(int offset) const;
  void markWindowRect(const QRect& rect);
  void paintLabel(QPainter& painter, QRegion& clip, int offset, QSize area);
  void drawSurface(QPainter& painter, const QRegion& clip, QPoint origin, const QRect& shown);
  const QList<QRgb>& colourTable();

  wrd::sherry::SDisplay display_;
  const wrd::Surface* composite_ = nullptr;
  const std::array<std::uint32_t, 256>* compositeColours_ = nullptr;
  std::optional<std::vector<QRgb>> logicalPalette_;
  int paletteBase_ = 0;
  bool sherry_ = false;
  QString statusLabel_;
  QTimer statusTimer_;
  QImage frame_;
  QList<QRgb> colours_;
  QRegion pending_;
};

}  // namespace volta::shell
