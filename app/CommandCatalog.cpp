#include "app/CommandCatalog.h"

#include <algorithm>
#include <array>

#include "resources/CommandIds.h"
#include "text/Translatable.h"

namespace {

constexpr unsigned SEP = ID_SEPARATOR;

constexpr std::array<CCommandText, 33> COMMANDS = {{
    {ID_READ_CONFIG, KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 환경 설정 읽기(&C)"), "Shift+C",
     KX_TRANSLATE_NOOP("CommandCatalog", "선택한 Korvex 모듈의 환경 설정 정보를 읽읍니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 환경 설정 읽기")},
    {ID_WRITE_CONFIG, KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 환경 설정 쓰기(&E)..."), "Ctrl+C",
     KX_TRANSLATE_NOOP("CommandCatalog", "선택한 Korvex 모듈에 지정한 환경 설정를 씁니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 환경 설정 쓰기")},
    {ID_START_RECEPTION, KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신 시작(&N)"), "Ctrl+N",
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신을 시작합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신 시작")},
    {ID_STOP_RECEPTION, KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신 중지(&X)"), "Ctrl+X",
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 수신 중지")},
    {ID_SEND_TDATA, KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 송신 하기(&W)"), "Ctrl+W",
     KX_TRANSLATE_NOOP("CommandCatalog", "선택한 송신 리스트 데이터를 CAN 네트워크에 전송합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 데이터 송신 하기")},
    {ID_RESET_NODE, KX_TRANSLATE_NOOP("CommandCatalog", "CAN 리셋(&R)"), "Ctrl+R",
     KX_TRANSLATE_NOOP("CommandCatalog", "연결된 CAN 노드를 리셋하여 초기화합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "CAN 리셋")},
    {ID_READ_VERSION, KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 모듈 버전 읽기(&F)"), "Ctrl+F",
     KX_TRANSLATE_NOOP("CommandCatalog", "연결된 Korvex 모듈의 버전 정보를 읽읍니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 모듈 버전 읽기")},
    {ID_ADD_TDATA, KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 추가(&A)..."), "Ctrl+A",
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 리스트에 새로운 데이터를 추가합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 추가")},
    {ID_MODIFY_TDATA, KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 수정(&M)..."), "Ctrl+M",
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 리스트에서 선택한 송신 데이터를 수정합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 수정")},
    {ID_DELETE_TDATA, KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 삭제(&D)"), "Ctrl+D",
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 리스트에서 선택한 송신 데이터를 삭제합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 삭제")},
    {ID_DELETE_ALL_TDATA, KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 전체 삭제(&E)"), "Ctrl+E",
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 리스트의 모든 데이터를 삭제합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 데이터 전체 삭제")},
    {ID_CLEAR_RDATA, KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 전체 삭제(&O)"), "Ctrl+F4",
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 리스트의 모든 데이터를 삭제합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 전체 삭제")},
    {ID_START_RDATA_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅 시작(&L)"), "Ctrl+F2",
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터를 지정한 로깅 파일 경로에 저장합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅 시작")},
    {ID_STOP_RDATA_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅 중지(&S)"), "Ctrl+F3",
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅 동작을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅 중지")},
    {ID_START_EVENT_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로깅 시작(&Y)"), "Shift+F2",
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 정보를 지정한 로깅 파일 경로에 저장합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로깅 시작")},
    {ID_STOP_EVENT_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로깅 중지(&N)"), "Shift+F3",
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로깅 동작을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로깅 중지")},
    {ID_LOG_PATHS, KX_TRANSLATE_NOOP("CommandCatalog", "로깅 파일 경로 설정(&L)..."), "Ctrl+L",
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 로깅, 이벤트 로깅 정보를 저장할 파일 경로를 설정합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "로깅 파일 경로 설정")},
    {ID_OPEN_TFILE, KX_TRANSLATE_NOOP("CommandCatalog", "송신 파일 열기(&O)..."), "Ctrl+O",
     KX_TRANSLATE_NOOP("CommandCatalog", "기존 송신 리스트 파일 문서를 엽니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 파일 열기")},
    {ID_SAVE_TFILE, KX_TRANSLATE_NOOP("CommandCatalog", "송신 파일 저장(&S)..."), "Ctrl+S",
     KX_TRANSLATE_NOOP("CommandCatalog", "현재 설정한 송신 리스트 데이터를 파일 문서로 저장합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "송신 파일 저장")},
    {ID_CLEAR_EVENT_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로그 데이터 전체 삭제(&X)"), "Shift+F4",
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로그 리스트의 모든 데이터를 삭제합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "이벤트 로그 데이터 전체 삭제")},
    {ID_RECORD_FRAMES, KX_TRANSLATE_NOOP("CommandCatalog", "기록 시작/중지(&R)"), "Ctrl+F5",
     KX_TRANSLATE_NOOP("CommandCatalog",
                       "수신한 프레임을 고른 파일(.log: candump, .asc: ASC)에 기록하거나 기록을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "기록 시작/중지"), true},
    {ID_OPEN_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "로그 열기(&G)..."), "Ctrl+Shift+O",
     KX_TRANSLATE_NOOP("CommandCatalog", "candump, ASC 또는 수신 데이터 로그 파일을 새 탭에서 엽니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "로그 열기")},
    {ID_OPEN_DBC, KX_TRANSLATE_NOOP("CommandCatalog", "DBC 열기(&B)..."), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "신호 데이터베이스(DBC 파일)를 열어 수신 데이터를 신호 값으로 봅니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "DBC 열기")},
    {ID_START_CYCLE, KX_TRANSLATE_NOOP("CommandCatalog", "주기 송신 시작(&P)"), "F5",
     KX_TRANSLATE_NOOP("CommandCatalog", "선택한 송신 데이터를 설정한 주기마다 CAN 네트워크에 전송합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "주기 송신 시작")},
    {ID_STOP_CYCLE, KX_TRANSLATE_NOOP("CommandCatalog", "주기 송신 중지(&T)"), "Shift+F5",
     KX_TRANSLATE_NOOP("CommandCatalog", "선택한 송신 데이터의 주기 송신을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "주기 송신 중지")},
    {ID_STOP_ALL_CYCLES, KX_TRANSLATE_NOOP("CommandCatalog", "모든 주기 송신 중지(&Q)"), "Ctrl+Shift+F5",
     KX_TRANSLATE_NOOP("CommandCatalog", "실행 중인 모든 주기 송신을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "모든 주기 송신 중지")},
    {ID_REPLAY_LOG, KX_TRANSLATE_NOOP("CommandCatalog", "로그 재생(&G)..."), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "candump 로그 파일의 프레임을 기록된 시간 간격대로 CAN 네트워크에 전송합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "로그 재생")},
    {ID_STOP_REPLAY, KX_TRANSLATE_NOOP("CommandCatalog", "로그 재생 중지(&H)"), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "진행 중인 로그 재생을 중지합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "로그 재생 중지")},
    {ID_APP_ABOUT, KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 정보(&A)..."), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 프로그램 정보와 버전 정보, 저작권 정보를 표시합니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 정보")},
    {ID_APP_EXIT, KX_TRANSLATE_NOOP("CommandCatalog", "종료(&X)"), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "Korvex 프로그램을 종료합니다"), KX_TRANSLATE_NOOP("CommandCatalog", "종료")},
    {ID_VIEW_TOOLBAR, KX_TRANSLATE_NOOP("CommandCatalog", "도구 모음(&T)"), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "도구 모음을 보이거나 감춥니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "도구 모음 전환"), true},
    {ID_VIEW_STATUS_BAR, KX_TRANSLATE_NOOP("CommandCatalog", "상태 표시줄(&S)"), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "상태 표시줄을 표시하거나 감춥니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "상태 표시줄 전환"), true},
    {ID_VIEW_TIMESTAMPS, KX_TRANSLATE_NOOP("CommandCatalog", "시간 표시(&I)"), "",
     KX_TRANSLATE_NOOP("CommandCatalog", "수신 데이터 리스트에 수신 시각을 표시하거나 감춥니다"),
     KX_TRANSLATE_NOOP("CommandCatalog", "시간 표시 전환"), true},
}};

constexpr std::array<unsigned, 10> FILE_MENU = {ID_OPEN_TFILE, ID_SAVE_TFILE, SEP, ID_OPEN_LOG, ID_OPEN_DBC, SEP,
                                               ID_LOG_PATHS, SEP, ID_APP_EXIT};
constexpr std::array<unsigned, 17> ACTION_MENU = {
    ID_READ_CONFIG, ID_WRITE_CONFIG, SEP, ID_START_RECEPTION, ID_STOP_RECEPTION, SEP, ID_SEND_TDATA, ID_START_CYCLE,
    ID_STOP_CYCLE, ID_STOP_ALL_CYCLES, SEP, ID_REPLAY_LOG, ID_STOP_REPLAY, SEP, ID_RESET_NODE, SEP, ID_READ_VERSION};
constexpr std::array<unsigned, 13> LIST_MENU = {ID_ADD_TDATA,       ID_MODIFY_TDATA,    ID_DELETE_TDATA,   ID_DELETE_ALL_TDATA,
                                                SEP,                ID_CLEAR_RDATA,     ID_START_RDATA_LOG, ID_STOP_RDATA_LOG,
                                                ID_RECORD_FRAMES,   SEP,                ID_CLEAR_EVENT_LOG, ID_START_EVENT_LOG, ID_STOP_EVENT_LOG};
constexpr std::array<unsigned, 4> VIEW_MENU = {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, SEP, ID_VIEW_TIMESTAMPS};
constexpr std::array<unsigned, 1> HELP_MENU = {ID_APP_ABOUT};

constexpr std::array<CMenuLayout, 5> MENU_BAR = {{
    {KX_TRANSLATE_NOOP("CommandCatalog", "파일(&F)"), FILE_MENU},
    {KX_TRANSLATE_NOOP("CommandCatalog", "동작(&A)"), ACTION_MENU},
    {KX_TRANSLATE_NOOP("CommandCatalog", "리스트(&L)"), LIST_MENU},
    {KX_TRANSLATE_NOOP("CommandCatalog", "보기(&V)"), VIEW_MENU},
    {KX_TRANSLATE_NOOP("CommandCatalog", "도움말(&H)"), HELP_MENU},
}};

constexpr std::array<unsigned, 27> TOOLBAR = {
    ID_OPEN_TFILE,     ID_SAVE_TFILE,      SEP,           ID_READ_CONFIG,     ID_WRITE_CONFIG,   ID_START_RECEPTION,
    ID_STOP_RECEPTION, ID_SEND_TDATA,      ID_START_CYCLE, ID_STOP_CYCLE,     ID_STOP_ALL_CYCLES, ID_RESET_NODE,
    SEP,               ID_ADD_TDATA,       ID_MODIFY_TDATA, ID_DELETE_TDATA,  SEP,               ID_START_RDATA_LOG,
    ID_STOP_RDATA_LOG, ID_RECORD_FRAMES,   ID_OPEN_LOG,   SEP,                ID_START_EVENT_LOG, ID_STOP_EVENT_LOG,
    SEP,               ID_APP_ABOUT};

constexpr std::array<unsigned, 12> TDATA_MENU = {ID_OPEN_TFILE,      ID_SAVE_TFILE,   SEP,          ID_ADD_TDATA,
                                                 ID_MODIFY_TDATA,    ID_DELETE_TDATA, ID_DELETE_ALL_TDATA, SEP,
                                                 ID_SEND_TDATA,      ID_START_CYCLE,  ID_STOP_CYCLE, ID_STOP_ALL_CYCLES};
constexpr std::array<unsigned, 8> RDATA_MENU = {ID_CLEAR_RDATA,    SEP, ID_START_RECEPTION, ID_STOP_RECEPTION,
                                                SEP,               ID_START_RDATA_LOG, ID_STOP_RDATA_LOG, ID_RECORD_FRAMES};
constexpr std::array<unsigned, 4> LOG_MENU = {ID_CLEAR_EVENT_LOG, SEP, ID_START_EVENT_LOG, ID_STOP_EVENT_LOG};

}  // namespace

std::span<const CCommandText> Commands() { return COMMANDS; }

const CCommandText* FindCommand(unsigned nId) {
  const auto it = std::find_if(COMMANDS.begin(), COMMANDS.end(), [nId](const CCommandText& c) { return c.m_nId == nId; });
  return it != COMMANDS.end() ? &*it : nullptr;
}

std::string PlainCaption(std::string_view caption) {
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption.substr(i, 2) == "(&" && i + 3 < caption.size() && caption[i + 3] == ')') {
      i += 3;  // "(&O)": the mnemonic with its parentheses
    } else if (caption[i] != '&') {
      plain += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      plain += caption[++i];  // "&&" is a literal "&"
    }
  }
  if (plain.ends_with("...")) plain.resize(plain.size() - 3);
  return plain;
}

std::span<const CMenuLayout> MenuBarLayout() { return MENU_BAR; }
std::span<const unsigned> ToolbarLayout() { return TOOLBAR; }
std::span<const unsigned> TDataMenuLayout() { return TDATA_MENU; }
std::span<const unsigned> RDataMenuLayout() { return RDATA_MENU; }
std::span<const unsigned> LogMenuLayout() { return LOG_MENU; }
