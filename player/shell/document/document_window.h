#pragma once
// The document pane (and the WRD debug pane): a Shift-JIS text shown in a
// fixed-pitch font on a grid of character cells, with colour codes, wrapping,
// a vertical scroll bar and an inverted selection. The layout is computed by
// document::DocumentModel; this widget measures the font, forwards sizes, keys and
// scroll bar actions, and paints the model's plan.

#include <QAbstractScrollArea>
#include <QFont>
#include <QStaticText>
#include <memory>
#include <string>
#include <unordered_map>

#include "player/core/document_view/document_model.h"

namespace volta::platform::text {
class Cp932Decoder;
}

namespace volta::shell {

class TDocumentWindow : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TDocumentWindow(QWidget* parent = nullptr);
  ~TDocumentWindow() override;

  // The bytes are not copied: the caller keeps them alive until the next call.
  // Null shows an empty window.
  void setText(const std::string* bytes);
  // The cell size becomes the width and height of "W" in this font.
  void setFont(const QFont& font);
  // Byte offsets [start, end) into the text shown inverted; -1 for none.
  void setSelection(int start, int end);
  void centreOnLine(int line);
  void setTopLine(int line);
  int lineOfOffset(int offset) const { return model_.lineOfOffset(offset); }

  const document::DocumentModel& model() const { return model_; }

  // The font the "DocFont" and "DocFontSize" settings name: that face (the system's
  // fixed-pitch font when empty), `pixelSize` pixels high, normal weight, fixed pitch.
  static QFont documentFont(const QString& face, int pixelSize);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void apply(const document::Repaint& repaint);
  void syncScrollBar();
  void onScrollAction(int action);
  void drawRun(QPainter& painter, const document::TextRun& run, int ascent);
  void drawCharacter(QPainter& painter, QPoint baseline, int ascent, char32_t character);

  document::DocumentModel model_;
  std::unique_ptr<platform::text::Cp932Decoder> decoder_;
  // Laid-out ASCII glyphs, kept until the font changes.
  std::unordered_map<char32_t, QStaticText> asciiGlyphs_;
  bool syncing_ = false;
};

}  // namespace volta::shell
