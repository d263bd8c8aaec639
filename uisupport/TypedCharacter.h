#pragma once
// The typing filters of the dialogs' boxes judge typed characters only: editing and dialog
// keys (arrows, Delete, Enter, Escape, Tab) keep their role, so Enter still reaches the
// dialog, which drops it, and Tab still leaves the box.
#include <optional>

class QKeyEvent;

// What the key press types, or nullopt for an editing or dialog key. Backspace comes back as
// code 8. A text of more than one character (from an input method) comes back as U+FFFD,
// which no filter lets through.
std::optional<char32_t> TypedCharacter(const QKeyEvent& key);
