#pragma once
// The two ends of an event line: the single entry point every part of the program reports
// through (LogEvent), and the event log window that shows the lines. Texts are UTF-8.
#include <cstdint>
#include <string_view>

// A colour as the event log stores it: red in the lowest byte, then green, then blue.
using COLORREF = uint32_t;
constexpr COLORREF RgbColour(uint8_t byRed, uint8_t byGreen, uint8_t byBlue) {
  return COLORREF{byRed} | (COLORREF{byGreen} << 8) | (COLORREF{byBlue} << 16);
}

constexpr COLORREF EVENT_BLACK = RgbColour(0, 0, 0);        // module responses
constexpr COLORREF EVENT_BLUE = RgbColour(0, 0, 255);       // CAN reset/error reports, log limits
constexpr COLORREF EVENT_RED = RgbColour(255, 0, 0);        // communication and log-file failures
constexpr COLORREF EVENT_GREY = RgbColour(128, 128, 129);   // the start-up banner

// Where events are reported; implemented by CLogFiles. Never fails towards the caller. The window
// shows an event with its phrases translated: a new Korean phrase goes into the list in
// text/EventTranslator.cpp as well.
class EventSink {
public:
  virtual ~EventSink() = default;
  virtual void LogEvent(std::string_view text, COLORREF colour) = 0;
};

// The event log window (or whatever stands in for it): shows one line in its colour.
class EventDisplay {
public:
  virtual ~EventDisplay() = default;
  virtual void AppendEvent(std::string_view text, COLORREF colour) = 0;
};
