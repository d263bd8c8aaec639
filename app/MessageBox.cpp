#include "app/MessageBox.h"

#include <cstdio>

#include "resources/StringTable.h"

namespace {

MessageSink* g_pSink = nullptr;  // UI thread only

}  // namespace

MessageSink* SetMessageSink(MessageSink* pSink) {
  MessageSink* pPrevious = g_pSink;
  g_pSink = pSink;
  return pPrevious;
}

EMessageAnswer ShowMessage(unsigned nStringId, EMessageIcon eIcon, EMessageButtons eButtons, std::string_view detail) {
  const CMessageRequest request{nStringId, std::string(LoadString(nStringId)), std::string(detail), eIcon, eButtons};
  if (g_pSink) return g_pSink->Show(request);
  std::fprintf(stderr, "%s%s%s\n", request.m_strText.c_str(), detail.empty() ? "" : ": ", request.m_strDetail.c_str());
  return eButtons == EMessageButtons::YES_NO ? EMessageAnswer::NO : EMessageAnswer::OK;
}
