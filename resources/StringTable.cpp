#include "resources/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/Translatable.h"

namespace {

// Column headers 61208 to 61212 belong to the transmit list. The window shows the texts
// translated (LoadQString); what goes to files and standard error keeps them as they are.
constexpr std::array<std::pair<unsigned, std::string_view>, 46> STRINGS = {{
    {IDS_APP_TITLE, "Korvex"},
    {IDS_OLE_INIT_FAILED, KX_TRANSLATE_NOOP("StringTable", "OLE DLL을 초기화하는데 실패했읍니다")},
    {IDS_UI_LIBRARY_FAILED, KX_TRANSLATE_NOOP("StringTable", "UI DLL을 로드하는데 실패했읍니다")},
    {IDS_EVENT_LOG_PANE, KX_TRANSLATE_NOOP("StringTable", "이벤트 로그 창")},
    {IDS_PROGRAM_TITLE, "Korvex Analyzer V1.0"},
    {IDS_PANE_PORT_MODE, "Serial Port"},
    {IDS_PANE_PORT_NAME, "CANFFFFF"},
    {IDS_PANE_PROTOCOL, "CAN2.0B"},
    {IDS_PANE_BIT_RATE, "250K BPS"},
    {IDS_PANE_MASK_ID, "Mask ID:0x1FFFFFFF"},
    {IDS_PANE_ID, "ID:0x1FFFFFFF"},
    {IDS_PANE_ACTIVITY, "ON"},
    {IDS_USB_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "지정한 USB 통신 포트를 여는데 실패했읍니다")},
    {IDS_SERIAL_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "지정한 시리얼 통신 포트를 여는데 실패했읍니다")},
    {IDS_PORT_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "지정한 통신 포트를 여는데 실패했읍니다")},
    {IDS_DATA_INPUT_WRONG, KX_TRANSLATE_NOOP("StringTable", "데이터 입력이 잘못되었읍니다")},
    {IDS_DUPLICATE_TDATA, KX_TRANSLATE_NOOP("StringTable", "설정한 CAN 전송 데이터가 이미 등록되었읍니다")},
    {IDS_TFILE_FILTER, KX_TRANSLATE_NOOP("StringTable", "송신 파일 (*.ctd)|*.ctd||")},
    {IDS_TFILE_OPEN_TITLE, KX_TRANSLATE_NOOP("StringTable", "송신 파일 열기")},
    {IDS_TFILE_SAVE_TITLE, KX_TRANSLATE_NOOP("StringTable", "송신 파일 저장")},
    {IDS_TFILE_OVERWRITE, KX_TRANSLATE_NOOP("StringTable", "%s 파일이 이미 있읍니다\n파일을 덮어 쓰시겠읍니까?")},
    {IDS_TFILE_SAVE_FAILED, KX_TRANSLATE_NOOP("StringTable", "송신 파일을 저장하는데 실패했읍니다")},
    {IDS_TFILE_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "송신 파일을 여는데 실패했읍니다")},
    {IDS_NO_PORT,
     KX_TRANSLATE_NOOP("StringTable", "현재 사용자 PC에 Korvex와 통신할 시리얼 포트가 없거나\nUSB 포트에 Korvex 모듈이 연결되어 있지 않읍니다")},
    {IDS_MASK_ID_WRONG, KX_TRANSLATE_NOOP("StringTable", "수신 마스크 ID 데이터 입력이 잘못되었읍니다")},
    {IDS_ID_WRONG, KX_TRANSLATE_NOOP("StringTable", "수신 ID 데이터 입력이 잘못되었읍니다")},
    {IDS_BIT_TIME_WRONG, KX_TRANSLATE_NOOP("StringTable", "CAN 비트 타임 데이터 입력이 잘못되었읍니다")},
    {IDS_NO_RESPONSE, KX_TRANSLATE_NOOP("StringTable", "Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다")},
    {IDS_RDATA_LOG_FILTER, KX_TRANSLATE_NOOP("StringTable", "수신 데이터 로그 파일(*.txt)|*.txt||")},
    {IDS_RDATA_LOG_TITLE, KX_TRANSLATE_NOOP("StringTable", "수신 데이터 로그 파일 설정")},
    {IDS_EVENT_LOG_FILTER, KX_TRANSLATE_NOOP("StringTable", "이벤트 로그 파일(*.txt)|*.txt||")},
    {IDS_EVENT_LOG_TITLE, KX_TRANSLATE_NOOP("StringTable", "이벤트 로그 파일 설정")},
    {IDS_EVENT_LOG_PATH_WRONG, KX_TRANSLATE_NOOP("StringTable", "이벤트 로그 파일 경로 설정이 잘못되었읍니다")},
    {IDS_RDATA_LOG_PATH_WRONG, KX_TRANSLATE_NOOP("StringTable", "수신 데이터 로그 파일 경로 설정이 잘못되었읍니다")},
    {IDS_TLIST_CHANGED, KX_TRANSLATE_NOOP("StringTable", "송신 데이터 목록이 변경되었읍니다\n변경된 내용을 파일에 저장하시겠읍니까?")},
    {IDS_OUT_OF_MEMORY, "Out of Memory!"},
    {IDS_DBC_FILTER, KX_TRANSLATE_NOOP("StringTable", "DBC 파일 (*.dbc)|*.dbc||")},
    {IDS_DBC_OPEN_TITLE, KX_TRANSLATE_NOOP("StringTable", "DBC 열기")},
    {IDS_DBC_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "DBC 파일을 읽는데 실패했읍니다")},
    {IDS_SETTINGS_SAVE_FAILED, KX_TRANSLATE_NOOP("StringTable", "환경 설정을 저장하는데 실패했읍니다")},
    {IDS_LOG_OPEN_FAILED, KX_TRANSLATE_NOOP("StringTable", "로그 파일을 여는데 실패했읍니다")},
    {61208, KX_TRANSLATE_NOOP("StringTable", "프로토콜")},
    {61209, KX_TRANSLATE_NOOP("StringTable", "프레임")},
    {61210, KX_TRANSLATE_NOOP("StringTable", "송신 ID")},
    {61211, KX_TRANSLATE_NOOP("StringTable", "데이터 길이")},
    {61212, KX_TRANSLATE_NOOP("StringTable", "송신 데이터")},
}};

// Two texts under one id would show the wrong message for one of them.
constexpr bool IdsAreUnique() {
  for (std::size_t i = 0; i < STRINGS.size(); ++i)
    for (std::size_t j = i + 1; j < STRINGS.size(); ++j)
      if (STRINGS[i].first == STRINGS[j].first) return false;
  return true;
}
static_assert(IdsAreUnique(), "every string id names one text");

}  // namespace

std::string_view LoadString(unsigned nId) {
  const auto it = std::find_if(STRINGS.begin(), STRINGS.end(), [nId](const auto& entry) { return entry.first == nId; });
  return it != STRINGS.end() ? it->second : std::string_view();
}
