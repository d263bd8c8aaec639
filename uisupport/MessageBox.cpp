#include "uisupport/MessageBox.h"

#include <cstdio>

#include "resources/StringTable.h"

namespace {

MessageSink* g_pSink = nullptr;  // UI thread only

EMessageAnswer Show(const CMessageRequest& request) {
  if (g_pSink) return g_pSink->Show(request);
  std::fprintf(stderr, "%s%s%s\n", request.m_strText.c_str(), request.m_strDetail.empty() ? "" : ": ",
               request.m_strDetail.c_str());
  switch (request.m_eButtons) {
    case EMessageButtons::OK: break;
    case EMessageButtons::YES_NO: return EMessageAnswer::NO;
    case EMessageButtons::YES_NO_CANCEL: return EMessageAnswer::CANCEL;
  }
  return EMessageAnswer::OK;
}

}  // namespace

MessageSink* SetMessageSink(MessageSink* pSink) {
  MessageSink* pPrevious = g_pSink;
  g_pSink = pSink;
  return pPrevious;
}

EMessageAnswer ShowMessage(unsigned nStringId, EMessageIcon eIcon, EMessageButtons eButtons, std::string_view detail) {
  return Show({nStringId, std::string(LoadString(nStringId)), std::string(detail), eIcon, eButtons, {}});
}

EMessageAnswer ShowMessageWith(unsigned nStringId, std::string_view value, EMessageIcon eIcon,
                               EMessageButtons eButtons) {
  std::string text(LoadString(nStringId));
  if (const auto nAt = text.find("%s"); nAt != std::string::npos) text.replace(nAt, 2, value);
  return Show({nStringId, std::move(text), {}, eIcon, eButtons, std::string(value)});
}
