#pragma once
// The program's string table: the texts of message boxes, status panes and titles by id.
//   LoadString(61207) -> "Korvex Analyzer V1.0"     LoadString(57344) -> "Korvex"     LoadString(1) -> ""
#include <string_view>

constexpr unsigned IDS_OLE_INIT_FAILED = 61204;
constexpr unsigned IDS_UI_LIBRARY_FAILED = 61205;
constexpr unsigned IDS_EVENT_LOG_PANE = 61206;
constexpr unsigned IDS_PROGRAM_TITLE = 61207;
constexpr unsigned IDS_PANE_PORT_MODE = 61213;
constexpr unsigned IDS_PANE_PORT_NAME = 61214;
constexpr unsigned IDS_PANE_PROTOCOL = 61215;
constexpr unsigned IDS_PANE_BIT_RATE = 61216;
constexpr unsigned IDS_PANE_MASK_ID = 61217;
constexpr unsigned IDS_PANE_ID = 61218;
constexpr unsigned IDS_PANE_ACTIVITY = 61219;
constexpr unsigned IDS_USB_OPEN_FAILED = 61220;
constexpr unsigned IDS_SERIAL_OPEN_FAILED = 61221;
constexpr unsigned IDS_PORT_OPEN_FAILED = 61222;
constexpr unsigned IDS_DATA_INPUT_WRONG = 61223;
constexpr unsigned IDS_DUPLICATE_TDATA = 61224;
constexpr unsigned IDS_TFILE_FILTER = 61225;
constexpr unsigned IDS_TFILE_OPEN_TITLE = 61226;
constexpr unsigned IDS_TFILE_SAVE_TITLE = 61227;
constexpr unsigned IDS_TFILE_OVERWRITE = 61228;
constexpr unsigned IDS_TFILE_SAVE_FAILED = 61229;
constexpr unsigned IDS_TFILE_OPEN_FAILED = 61230;
constexpr unsigned IDS_NO_PORT = 61231;
constexpr unsigned IDS_MASK_ID_WRONG = 61232;
constexpr unsigned IDS_ID_WRONG = 61233;
constexpr unsigned IDS_BIT_TIME_WRONG = 61234;
constexpr unsigned IDS_NO_RESPONSE = 61235;
constexpr unsigned IDS_RDATA_LOG_FILTER = 61236;
constexpr unsigned IDS_RDATA_LOG_TITLE = 61237;
constexpr unsigned IDS_EVENT_LOG_FILTER = 61238;
constexpr unsigned IDS_EVENT_LOG_TITLE = 61239;
constexpr unsigned IDS_EVENT_LOG_PATH_WRONG = 61240;
constexpr unsigned IDS_RDATA_LOG_PATH_WRONG = 61241;
// The program's own texts beyond the system's.
constexpr unsigned IDS_TLIST_CHANGED = 61260;
constexpr unsigned IDS_OUT_OF_MEMORY = 61261;
constexpr unsigned IDS_DBC_FILTER = 61270;
constexpr unsigned IDS_DBC_OPEN_TITLE = 61271;
constexpr unsigned IDS_DBC_OPEN_FAILED = 61272;
constexpr unsigned IDS_SETTINGS_SAVE_FAILED = 61251;
constexpr unsigned IDS_LOG_OPEN_FAILED = 61262;
constexpr unsigned IDS_APP_TITLE = 57344;             // the title of every message box

// The text of the id (UTF-8); empty for an id the table does not hold.
std::string_view LoadString(unsigned nId);
