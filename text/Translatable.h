#pragma once
// Marks a shown text of the Qt-free code for the translation tools; the widget showing it translates it.
#define KX_TRANSLATE_NOOP(context, text) text
