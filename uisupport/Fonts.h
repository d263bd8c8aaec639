#pragma once
// The program's two screen fonts. A face that is not installed falls back to a system face
// of the same kind, so text never turns into boxes: Qt still takes glyphs the face lacks
// (Hangul in a Latin-only fixed font) from another installed font.
#include <QFont>

// Both lists (receive data, event log): "NanumGothicCoding" 9 pt, a fixed-pitch face in which
// a Hangul syllable is two cells wide; otherwise the system's fixed-pitch font at 9 pt.
QFont ListFont();
// Dialogs: "NanumGothic" 9 pt; otherwise the system's general font at 9 pt.
QFont DialogFont();

// How much wider than the system's font this font sets the same text. The system's pixel widths
// (a status pane, a list column) were chosen to fit its texts in its font, 9 points at 96 dots
// per inch, which draws a digit 6 pixels wide; a width times this factor fits them in font.
double WidthScale(const QFont& font);
// The system's width in pixels for the font, rounded up.
int ScaledWidth(int nSystemPixels, const QFont& font);
