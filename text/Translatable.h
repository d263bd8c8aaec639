#pragma once
// Marks a text of the Qt-free code for translation without translating it: the text stays the
// program's own (Korean) here, and the window looks it up in the English translation under
// the same context when it shows it. The translation tools read this macro like
// QT_TRANSLATE_NOOP.
//   KX_TRANSLATE_NOOP("StringTable", "송신 파일 열기") -> "송신 파일 열기"
#define KX_TRANSLATE_NOOP(context, text) text
