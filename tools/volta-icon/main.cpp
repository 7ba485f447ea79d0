// volta-icon: draws the player's icon (a sound module's lit LCD with a note, and the
// three port lamps) at each size the desktop's icon theme asks for.
//
//   volta-icon OUTDIR SIZE...      writes OUTDIR/SIZE/volta.png for each size

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>

namespace {

// Drawn on a 256-unit square and scaled, so every size is sharp.
void draw(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x23, 0x2a, 0x3a));
  painter.drawRoundedRect(QRectF(8, 8, 240, 240), 36, 36);
  painter.setBrush(QColor(0xa8, 0xd8, 0x50));  // the LCD's back light
  painter.drawRoundedRect(QRectF(32, 40, 192, 136), 12, 12);
  const QColor ink(0x1d, 0x30, 0x10);
  painter.setBrush(ink);
  painter.save();
  painter.translate(108, 146);
  painter.rotate(-20);
  painter.drawEllipse(QRectF(-26, -18, 52, 36));
  painter.restore();
  painter.drawRect(QRectF(124, 62, 10, 84));
  QPainterPath flag;
  flag.moveTo(134, 62);
  flag.cubicTo(150, 80, 176, 86, 168, 124);
  flag.cubicTo(164, 102, 150, 96, 134, 92);
  flag.closeSubpath();
  painter.drawPath(flag);
  const QColor lamps[3] = {QColor(0xff, 0x55, 0x33), QColor(0xff, 0xaa, 0x22), QColor(0x66, 0xdd, 0x66)};
  for (int port = 0; port < 3; ++port) {
    painter.setBrush(lamps[port]);
    painter.drawEllipse(QRectF(56 + port * 56, 194, 32, 32));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: volta-icon OUTDIR SIZE...\n", stderr);
    return 2;
  }
  for (int arg = 2; arg < argc; ++arg) {
    const int size = std::atoi(argv[arg]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "volta-icon: bad size %s\n", argv[arg]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(size / 256.0, size / 256.0);
    draw(painter);
    painter.end();
    const QString folder = QString::fromLocal8Bit(argv[1]) + "/" + QString::number(size);
    if (!QDir().mkpath(folder) || !image.save(folder + "/volta.png")) {
      std::fprintf(stderr, "volta-icon: cannot write %s\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
