#include "app/CommandRules.h"

#include <algorithm>
#include <array>

#include "resources/CommandIds.h"

namespace {

using Rule = bool (*)(const CCommandState&);

struct CCommandRule {
  unsigned m_nId;
  Rule m_pfnEnabled;
};

bool Always(const CCommandState&) { return true; }
bool PortsExist(const CCommandState& s) { return s.m_bPortsExist; }
bool CanStartReception(const CCommandState& s) { return s.m_bPortsExist && !s.m_bReceptionRunning; }
bool CanStopReception(const CCommandState& s) { return s.m_bPortsExist && s.m_bReceptionRunning; }
bool HasReceiveLines(const CCommandState& s) { return s.m_nReceiveLines > 0; }
bool HasEventEntries(const CCommandState& s) { return s.m_nEventEntries > 0; }
bool RDataLogOff(const CCommandState& s) { return !s.m_bRDataLogging; }
bool RDataLogOn(const CCommandState& s) { return s.m_bRDataLogging; }
bool EventLogOff(const CCommandState& s) { return !s.m_bEventLogging; }
bool EventLogOn(const CCommandState& s) { return s.m_bEventLogging; }
// Transmit commands have no handler until the transmit list registers itself.
bool TransmitList(const CCommandState& s) { return s.m_bTransmitList; }
bool TransmitSelection(const CCommandState& s) { return s.m_bTransmitList && s.m_bTransmitSelection; }
bool TransmitRows(const CCommandState& s) { return s.m_bTransmitList && s.m_nTransmitRows > 0; }
bool CanSend(const CCommandState& s) { return s.m_bPortsExist && TransmitSelection(s); }
// Nothing to record without a port; a running recording can always be stopped.
bool CanToggleRecording(const CCommandState& s) { return s.m_bPortsExist || s.m_bRecording; }

bool CanStartCycle(const CCommandState& s) { return CanSend(s) && s.m_bSelectionHasPeriod && !s.m_bSelectionCycling; }
bool CanStopCycle(const CCommandState& s) { return TransmitSelection(s) && s.m_bSelectionCycling; }
bool AnyCycling(const CCommandState& s) { return s.m_bAnyCycling; }
bool CanReplay(const CCommandState& s) { return s.m_bPortsExist && !s.m_bReplaying; }
bool Replaying(const CCommandState& s) { return s.m_bReplaying; }

constexpr std::array<CCommandRule, 27> RULES = {{
    {ID_READ_CONFIG, PortsExist},
    {ID_WRITE_CONFIG, PortsExist},
    {ID_START_RECEPTION, CanStartReception},
    {ID_STOP_RECEPTION, CanStopReception},
    {ID_SEND_TDATA, CanSend},
    {ID_START_CYCLE, CanStartCycle},
    {ID_STOP_CYCLE, CanStopCycle},
    {ID_STOP_ALL_CYCLES, AnyCycling},
    {ID_REPLAY_LOG, CanReplay},
    {ID_STOP_REPLAY, Replaying},
    {ID_RESET_NODE, PortsExist},
    {ID_READ_VERSION, PortsExist},
    {ID_ADD_TDATA, TransmitList},
    {ID_MODIFY_TDATA, TransmitSelection},
    {ID_DELETE_TDATA, TransmitSelection},
    {ID_DELETE_ALL_TDATA, TransmitRows},
    {ID_CLEAR_RDATA, HasReceiveLines},
    {ID_START_RDATA_LOG, RDataLogOff},
    {ID_STOP_RDATA_LOG, RDataLogOn},
    {ID_START_EVENT_LOG, EventLogOff},
    {ID_STOP_EVENT_LOG, EventLogOn},
    {ID_LOG_PATHS, Always},
    {ID_OPEN_TFILE, TransmitList},
    {ID_SAVE_TFILE, TransmitRows},
    {ID_CLEAR_EVENT_LOG, HasEventEntries},
    {ID_RECORD_FRAMES, CanToggleRecording},
    {ID_OPEN_LOG, Always},
}};

}  // namespace

bool IsCommandEnabled(unsigned nId, const CCommandState& state) {
  const auto it = std::find_if(RULES.begin(), RULES.end(), [nId](const CCommandRule& r) { return r.m_nId == nId; });
  return it == RULES.end() || it->m_pfnEnabled(state);
}
