#pragma once
// The command ids of the menu bar, the toolbar, the accelerators and the list context menus.
constexpr unsigned ID_READ_CONFIG = 32771;
constexpr unsigned ID_WRITE_CONFIG = 32772;
constexpr unsigned ID_START_RECEPTION = 32773;
constexpr unsigned ID_STOP_RECEPTION = 32774;
constexpr unsigned ID_SEND_TDATA = 32775;
constexpr unsigned ID_RESET_NODE = 32776;
constexpr unsigned ID_READ_VERSION = 32777;
constexpr unsigned ID_ADD_TDATA = 32778;
constexpr unsigned ID_MODIFY_TDATA = 32779;
constexpr unsigned ID_DELETE_TDATA = 32780;
constexpr unsigned ID_DELETE_ALL_TDATA = 32781;
constexpr unsigned ID_CLEAR_RDATA = 32782;
constexpr unsigned ID_START_RDATA_LOG = 32783;
constexpr unsigned ID_STOP_RDATA_LOG = 32784;
constexpr unsigned ID_START_EVENT_LOG = 32785;
constexpr unsigned ID_STOP_EVENT_LOG = 32786;
constexpr unsigned ID_LOG_PATHS = 32787;
constexpr unsigned ID_OPEN_TFILE = 32788;
constexpr unsigned ID_SAVE_TFILE = 32789;
constexpr unsigned ID_CLEAR_EVENT_LOG = 32790;
constexpr unsigned ID_VIEW_TIMESTAMPS = 32791;  // our own: arrival times in the receive list
// Our own: recording the received frames to a file, opening a log beside the receive list.
constexpr unsigned ID_RECORD_FRAMES = 32800;
constexpr unsigned ID_OPEN_LOG = 32801;
constexpr unsigned ID_OPEN_DBC = 32810;         // our own: a signal database
// Our own: cyclic sends of the transmit list's rows.
constexpr unsigned ID_START_CYCLE = 32820;
constexpr unsigned ID_STOP_CYCLE = 32821;
constexpr unsigned ID_STOP_ALL_CYCLES = 32822;
// Our own: replaying a candump log.
constexpr unsigned ID_REPLAY_LOG = 32823;
constexpr unsigned ID_STOP_REPLAY = 32824;
constexpr unsigned ID_APP_ABOUT = 57664;
constexpr unsigned ID_APP_EXIT = 57665;
constexpr unsigned ID_VIEW_TOOLBAR = 59392;
constexpr unsigned ID_VIEW_STATUS_BAR = 59393;

constexpr unsigned ID_SEPARATOR = 0;  // in menu and toolbar layouts
