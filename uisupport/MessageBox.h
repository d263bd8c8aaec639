#pragma once
// Every message box of the program goes through ShowMessage: a string id, an icon and the
// buttons in, the user's answer out. The window installs a sink that shows a real box; tests
// install one that records the request and answers it, so nothing waits on a modal box.
#include <string>
#include <string_view>

enum class EMessageIcon { INFORMATION, ERROR, QUESTION };
enum class EMessageButtons { OK, YES_NO, YES_NO_CANCEL };
enum class EMessageAnswer { OK, YES, NO, CANCEL };

struct CMessageRequest {
  unsigned m_nStringId = 0;
  std::string m_strText;    // the string's text (formatted, where the string takes a value)
  std::string m_strDetail;  // why it failed, as the lower layers report it; may be empty
  EMessageIcon m_eIcon = EMessageIcon::INFORMATION;
  EMessageButtons m_eButtons = EMessageButtons::OK;
  std::string m_strValue;  // what replaced the string's "%s", so a translation can take it too
};

class MessageSink {
public:
  virtual ~MessageSink() = default;
  virtual EMessageAnswer Show(const CMessageRequest& request) = 0;
};

// Installs the sink and returns the one it replaces. Without a sink a box is answered with
// OK (or No, or Cancel) and written to standard error.
MessageSink* SetMessageSink(MessageSink* pSink);

EMessageAnswer ShowMessage(unsigned nStringId, EMessageIcon eIcon, EMessageButtons eButtons = EMessageButtons::OK,
                           std::string_view detail = {});
// The same for a string that takes a value: its "%s" is replaced by the value, which is taken
// as plain text (a path may hold a "%").
//   ShowMessageWith(61228, "/tmp/a.ctd", ...) -> "/tmp/a.ctd 파일이 이미 있읍니다\n..."
EMessageAnswer ShowMessageWith(unsigned nStringId, std::string_view value, EMessageIcon eIcon,
                               EMessageButtons eButtons = EMessageButtons::OK);
