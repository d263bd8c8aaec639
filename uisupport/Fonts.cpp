#include "uisupport/Fonts.h"

#include <QFontDatabase>

namespace {

constexpr int FONT_POINTS = 9;

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
