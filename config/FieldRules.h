#pragma once
// Small text rules shared by the dialogs and the settings.
#include <string>
#include <string_view>

// Every character is 0-9, A-F or a-f; the empty text counts as hexadecimal.
bool IsHexText(std::string_view text);

// The directory a file dialog should start in for this path: the path itself when it is a
// directory, the directory part when the path or its directory exists, else "".
std::string ExistingDirectoryOf(const std::string& path);
