#pragma once
// Code page 949 helpers. Texts live in UTF-8 inside the program; widths that the screen
// and the log files count in CP949 bytes (a Hangul syllable is two) are measured on the
// CP949 form, and files are written in it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 -> CP949. nullopt when the text is not valid UTF-8 or holds a character that has
// no CP949 form; never a partial result.
std::optional<std::string> Utf8ToCp949(std::string_view utf8);
// CP949 -> UTF-8, for text read back from files; nullopt on bytes that are not CP949.
std::optional<std::string> Cp949ToUtf8(std::string_view cp949);

// Width of the text in CP949 bytes; nullopt when it cannot be converted.
std::optional<std::size_t> Cp949Width(std::string_view utf8);

// Width on screen in cells of the fixed-pitch list font: the CP949 width, or, for a text with
// no CP949 form, each non-ASCII character counted as two.
std::size_t Cp949ScreenWidth(std::string_view utf8);

// The text followed by blanks up to nWidth CP949 bytes (printf's "%-Ns"); a longer text is
// returned whole. The text is measured with Cp949ScreenWidth.
std::string PadToCp949Width(std::string_view utf8, std::size_t nWidth);

// An event line: the title padded to 27 columns, " : ", the detail ("%-27s : %s").
std::string FormatEventText(std::string_view title, std::string_view detail);
