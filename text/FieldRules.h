#pragma once
// Small text rules shared by the dialogs and the settings.
#include <cstdint>
#include <string>
#include <string_view>

// Every character is 0-9, A-F or a-f; the empty text counts as hexadecimal.
bool IsHexText(std::string_view text);

// The low 8 bits of the value of the leading hexadecimal digits: "1F" -> 0x1F, "123" -> 0x23,
// "4G" -> 0x04; 0 for "" or a text that starts with no digit.
uint8_t LeadingHexByte(std::string_view text);

// nDigits upper-case hexadecimal digits of the value's low bits: (0x7E8, 3) -> "7E8".
void AppendHex(std::string& out, uint32_t dwValue, unsigned nDigits);

// The directory a file dialog should start in for this path: the path itself when it is a
// directory, the directory part when the path or its directory exists, else "".
std::string ExistingDirectoryOf(const std::string& path);
