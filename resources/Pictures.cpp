#include "resources/Pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "resources/CommandIds.h"

namespace {

const QColor GREEN(0, 170, 0);
const QColor RED(200, 30, 30);
const QColor BLUE(30, 80, 190);
const QColor DARK(60, 60, 60);

QPixmap Blank(int nWidth, int nHeight) {
  QPixmap pixmap(nWidth, nHeight);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  const QLineF line(to, from);
  QLineF wing1 = line;
  wing1.setLength(4);
  wing1.setAngle(line.angle() + 35);
  QLineF wing2 = line;
  wing2.setLength(4);
  wing2.setAngle(line.angle() - 35);
  p.drawLine(wing1);
  p.drawLine(wing2);
}

void Page(QPainter& p) {
  p.setPen(DARK);
  p.setBrush(Qt::white);
  p.drawRect(2, 1, 9, 12);
  for (int y = 4; y <= 10; y += 3) p.drawLine(4, y, 9, y);
}

void Dot(QPainter& p, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QPointF(12, 10.5), 3.5, 3.5);
}

void Module(QPainter& p) {
  p.setPen(DARK);
  p.setBrush(QColor(210, 210, 210));
  p.drawRect(9, 3, 6, 9);
}

// False for a command without a toolbar image.
bool DrawCommand(QPainter& p, unsigned nId) {
  switch (nId) {
    case ID_OPEN_TFILE:
      p.setPen(DARK);
      p.setBrush(QColor(235, 190, 60));
      p.drawRect(1, 4, 13, 9);
      p.drawRect(1, 2, 5, 2);
      break;
    case ID_SAVE_TFILE:
      p.setPen(DARK);
      p.setBrush(BLUE);
      p.drawRect(1, 1, 13, 12);
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 7, 5);
      break;
    case ID_READ_CONFIG:
      Module(p);
      Arrow(p, {8, 7.5}, {1, 7.5}, BLUE);
      break;
    case ID_WRITE_CONFIG:
      Module(p);
      Arrow(p, {1, 7.5}, {8, 7.5}, RED);
      break;
    case ID_START_RECEPTION: {
      QPainterPath triangle;
      triangle.moveTo(4, 2);
      triangle.lineTo(13, 7.5);
      triangle.lineTo(4, 13);
      triangle.closeSubpath();
      p.fillPath(triangle, GREEN);
      break;
    }
    case ID_STOP_RECEPTION:
      p.fillRect(3, 3, 10, 10, RED);
      break;
    case ID_SEND_TDATA:
      Arrow(p, {2, 13}, {13, 2}, GREEN);
      break;
    case ID_START_CYCLE:
    case ID_STOP_CYCLE:
    case ID_STOP_ALL_CYCLES:
      // The send arrow with a circling arc: green to start, red with a bar to stop.
      p.setPen(QPen(nId == ID_START_CYCLE ? GREEN : RED, 1.5));
      p.drawArc(QRectF(1, 1, 13, 13), 30 * 16, 300 * 16);
      Arrow(p, {4, 11}, {11, 4}, nId == ID_START_CYCLE ? GREEN : RED);
      if (nId == ID_STOP_ALL_CYCLES) p.fillRect(10, 10, 5, 5, RED);
      break;
    case ID_RESET_NODE:
      p.setPen(QPen(BLUE, 2));
      p.drawArc(QRectF(2, 2, 11, 11), 60 * 16, 280 * 16);
      Arrow(p, {11, 3}, {12.5, 4.5}, BLUE);
      break;
    case ID_ADD_TDATA:
      p.fillRect(6, 2, 3, 11, GREEN);
      p.fillRect(2, 6, 11, 3, GREEN);
      break;
    case ID_MODIFY_TDATA:
      p.setPen(QPen(QColor(230, 160, 40), 3, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(4, 11, 12, 3);
      p.setPen(QPen(DARK, 2));
      p.drawPoint(3, 12);
      break;
    case ID_DELETE_TDATA:
      p.setPen(QPen(RED, 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(3, 3, 12, 12);
      p.drawLine(12, 3, 3, 12);
      break;
    case ID_START_RDATA_LOG:
    case ID_STOP_RDATA_LOG:
      Page(p);
      Dot(p, nId == ID_START_RDATA_LOG ? GREEN : RED);
      break;
    case ID_START_EVENT_LOG:
    case ID_STOP_EVENT_LOG:
      p.setPen(QPen(BLUE, 2));
      for (int y = 3; y <= 11; y += 4) p.drawLine(1, y, 9, y);
      Dot(p, nId == ID_START_EVENT_LOG ? GREEN : RED);
      break;
    case ID_RECORD_FRAMES:
      p.setPen(QPen(DARK, 1));
      p.setBrush(RED);
      p.drawEllipse(QRectF(2.5, 2, 11, 11));
      break;
    case ID_OPEN_LOG:
      Page(p);
      Arrow(p, {14, 13}, {8, 7}, BLUE);
      break;
    case ID_APP_ABOUT:
      p.setPen(Qt::NoPen);
      p.setBrush(BLUE);
      p.drawEllipse(1, 0, 14, 14);
      p.setPen(Qt::white);
      p.setFont(QFont(QStringLiteral("Sans"), 8, QFont::Bold));
      p.drawText(QRect(1, 0, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace

QIcon ProgramIcon() {
  QPixmap pixmap = Blank(32, 32);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(BLUE);
  p.drawRoundedRect(1, 1, 30, 30, 6, 6);
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(5, 12, 27, 12);  // the bus's two wires
  p.drawLine(5, 20, 27, 20);
  p.setBrush(GREEN);
  p.setPen(Qt::NoPen);
  for (int x : {9, 16, 23}) p.drawEllipse(QPointF(x, 16), 3, 3);
  return QIcon(pixmap);
}

QIcon CommandIcon(unsigned nCommandId) {
  QPixmap pixmap = Blank(16, 15);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const bool bDrawn = DrawCommand(p, nCommandId);
  p.end();
  return bDrawn ? QIcon(pixmap) : QIcon();
}

QPixmap LampPicture(unsigned nActivityBits) {
  QPixmap pixmap = Blank(30, 15);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(DARK, 1));
  const QColor GREY(150, 150, 150);
  p.setBrush((nActivityBits & 2) ? QColor(0, 220, 0) : GREY);
  p.drawEllipse(QRectF(2, 1.5, 11, 11));
  p.setBrush((nActivityBits & 1) ? QColor(0, 220, 0) : GREY);
  p.drawEllipse(QRectF(17, 1.5, 11, 11));
  return pixmap;
}

QPixmap TransmitRowPicture() {
  QPixmap pixmap = Blank(20, 20);
  QPainter p(&pixmap);
  p.setPen(DARK);
  p.setBrush(Qt::white);
  p.drawRect(2, 3, 15, 13);
  p.fillRect(3, 4, 14, 3, BLUE);
  p.setPen(QPen(GREEN, 1));
  for (int y = 10; y <= 13; y += 3) p.drawLine(5, y, 14, y);
  return pixmap;
}
