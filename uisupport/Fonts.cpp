#include "uisupport/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace {

constexpr int FONT_POINTS = 9;
constexpr double SYSTEM_DIGITS_WIDTH = 60.0;  // "0123456789" in the system's font, in pixels

QFont FaceOr(const QString& family, QFontDatabase::SystemFont eFallback) {
  QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QFontDatabase::systemFont(eFallback);
  font.setPointSize(FONT_POINTS);
  font.setWeight(QFont::Normal);
  return font;
}

}  // namespace

QFont ListFont() {
  QFont font = FaceOr(QStringLiteral("NanumGothicCoding"), QFontDatabase::FixedFont);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::Monospace);
  return font;
}

QFont DialogFont() { return FaceOr(QStringLiteral("NanumGothic"), QFontDatabase::GeneralFont); }

double WidthScale(const QFont& font) {
  return QFontMetricsF(font).horizontalAdvance(QStringLiteral("0123456789")) / SYSTEM_DIGITS_WIDTH;
}

int ScaledWidth(int nSystemPixels, const QFont& font) {
  return static_cast<int>(std::ceil(nSystemPixels * WidthScale(font)));
}
