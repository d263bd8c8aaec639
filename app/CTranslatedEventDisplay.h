#pragma once
// The event log window's side of the translation: every event reaches the log file as it was
// composed, and the window with its phrases in the window's language.
#include <utility>

#include "protocol/EventSink.h"
#include "text/EventTranslator.h"

class CTranslatedEventDisplay final : public EventDisplay {
public:
  CTranslatedEventDisplay(CEventTranslator translator, EventDisplay& display)
      : m_translator(std::move(translator)), m_display(display) {}

  void AppendEvent(std::string_view text, COLORREF colour) override {
    if (m_translator.IsActive())
      m_display.AppendEvent(m_translator.Translate(text), colour);
    else
      m_display.AppendEvent(text, colour);
  }

private:
  const CEventTranslator m_translator;
  EventDisplay& m_display;
};
