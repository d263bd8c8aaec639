#pragma once
// The module's side of the line protocol over any byte pipe. Bytes from the PC go in through
// Feed(); answers and reports collect in a bounded outbox that the caller drains into its
// link. Time moves only through Advance(), so tests run it on a virtual clock.
//
// Lines the module sends (fields after the letter, big-endian; BuildLine adds checksum, CR):
//   Y, Z  mode byte, bit timing (2 bytes), ID, mask ID; ID and mask 2 bytes each under
//         CAN 2.0A, 4 bytes each under CAN 2.0B      ":Y1C0F340000000000000000AA" (defaults)
//   G     01 reception running, 00 stopped           ":G01A8"
//   W     the frame as sent: frame byte, ID (2 or 4 bytes), data bytes
//   R     00 reset by command, 01 automatic reset after bus-off
//   V     firmware version, major in the high nibble ":V12B9" is version 1.2
//   U     a received frame (while reception runs): frame byte, ID (2 bytes for an 11-bit
//         frame, 4 for a 29-bit one), data bytes. Two kinds of traffic:
//         sequence (default): the frame IDs in turn at one rate, all 29-bit under 2.0B, each
//           with 8 data bytes holding a 32-bit sequence number and its complement, both
//           big-endian, so a client can tell lost and corrupted frames apart
//           ":U28000001230000000AFFFFFFF5F5" (2.0B, ID 0x123, #10)
//         bus: the messages of CSimBusTraffic at their own cycle times; under 2.0A only the
//           11-bit ones, under 2.0B both widths     ":U1203E8" (remote, 11-bit 0x3E8, length 2)
//   I     the CAN error bits that the mode byte enables
// Commands with an unknown letter or the wrong number of fields get no answer, as do
// lines the assembler drops (bad checksum, bad digit, too long).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CLineAssembler.h"
#include "protocol/LineFraming.h"
#include "sim/CSimBusTraffic.h"
#include "sim/CSimOutbox.h"

class CSimModule : private LineDispatcher {
public:
  static constexpr uint8_t DEFAULT_VERSION = 0x12;
  static constexpr uint32_t DEFAULT_FRAME_RATE = 10;  // frames per second
  static constexpr uint32_t MAX_FRAME_RATE = 100000;
  static constexpr uint64_t NO_DEADLINE = UINT64_MAX;
  // More frames than this overdue at once (after a stall of the caller) are not generated
  // but counted as dropped; the gap shows in the sequence numbers.
  static constexpr uint32_t MAX_FRAME_BURST = 4096;

  // Error bits of the "I" line. Mode bit 2 enables bus-off, bit 1 both error-passive
  // states, bit 0 both warnings.
  static constexpr uint8_t ERROR_BUS_OFF = 0x01;
  static constexpr uint8_t ERROR_RX_PASSIVE = 0x02;
  static constexpr uint8_t ERROR_TX_PASSIVE = 0x04;
  static constexpr uint8_t ERROR_RX_WARNING = 0x08;
  static constexpr uint8_t ERROR_TX_WARNING = 0x10;
  static constexpr uint8_t ERROR_ALL = 0x1F;

  enum ETraffic {
    TRAFFIC_SEQUENCE,  // numbered frames at the frame rate
    TRAFFIC_BUS,       // a realistic bus (the frame rate does not apply)
  };

  explicit CSimModule(size_t nOutboxLimit = CSimOutbox::DEFAULT_LIMIT);

  // Bytes from the PC, in arrival order; a line may be split over any number of calls.
  // nArrivalNs: when the bytes came (as read), the time a frame command's observer is told.
  void Feed(const uint8_t* pData, size_t nLength, int64_t nArrivalNs = 0);
  // Sets the clock (milliseconds, a clock that never goes back; earlier values are ignored)
  // and sends the frames due by then.
  void Advance(uint64_t qwNowMs);
  uint64_t Now() const { return m_qwNowMs; }
  // Time of the next frame, NO_DEADLINE when none is scheduled.
  uint64_t NextDueMs() const;

  // Told of each frame command taken, as its line with the checksum (":W0207FF1122xx"), with
  // the arrival time of the Feed that completed it.
  using TransmitObserver = std::function<void(std::string_view, int64_t)>;
  void SetTransmitObserver(TransmitObserver fnObserver) { m_fnOnTransmit = std::move(fnObserver); }
  CSimOutbox& Outbox() { return m_outbox; }
  const CSimOutbox& Outbox() const { return m_outbox; }
  std::string TakeOutput() { return m_outbox.Take(); }

  void SetVersion(uint8_t byVersion) { m_byVersion = byVersion; }
  // Takes effect at once; the new traffic's schedule starts now.
  void SetTraffic(ETraffic eTraffic);
  ETraffic Traffic() const { return m_eTraffic; }
  // 0 stops the frame source; values above MAX_FRAME_RATE are limited to it.
  void SetFrameRate(uint32_t nFramesPerSecond);
  // Identifiers the sequence frames use, in turn. Under CAN 2.0A only those of 11 bits are sent,
  // under 2.0B those of 29 bits; each also has to pass the acceptance filter.
  void SetFrameIds(std::vector<uint32_t> adwIds);
  // The controller enters the given error states (ERROR_* bits). Sends an "I" line with
  // those the mode byte enables and returns whether it did. Bus-off with automatic reset
  // enabled is followed by the reset notice ":R01".
  bool RaiseErrorState(uint8_t byErrorBits);
  // Sends a line of the caller's making (":", letter, fields; checksum and CR are added) as
  // a report, so a test can show the client layouts that the frame source never makes (remote frames, other lengths). False when the payload cannot be
  // framed or the outbox is full.
  bool SendLine(std::string_view payload);

  uint8_t ModeByte() const { return m_byMode; }
  uint16_t BitTiming() const { return m_wBitTiming; }
  uint32_t ReceiveId() const { return m_dwReceiveId; }
  uint32_t ReceiveMaskId() const { return m_dwReceiveMaskId; }
  bool IsReceiving() const { return m_bReceiving; }
  uint8_t Version() const { return m_byVersion; }
  // Sequence number of the next frame, that is, the frames generated so far.
  uint32_t NextSequence() const { return m_dwSequence; }
  // Whether a frame with this identifier would be sent under the present configuration.
  bool Accepts(uint32_t dwId) const;

private:
  void DispatchLine(const CLineAssembler& line) override;
  bool IsExtended() const;
  void HandleConfigWrite(const CLineAssembler& line);
  void HandleReception(const CLineAssembler& line);
  void HandleTransmit(const CLineAssembler& line);
  CLineText ConfigLine(char cLetter) const;
  void Answer(const CLineText& line);
  void RebuildFrameSource();
  void RestartSchedule();
  void SendDueFrames();
  void SendSequenceFrame();
  void PutFrame(const SSimFrame& frame);
  bool SendsBusMessage(const CSimBusTraffic::SMessage& message) const;

  CLineAssembler m_assembler{*this};
  CSimOutbox m_outbox;
  TransmitObserver m_fnOnTransmit;
  int64_t m_nFeedArrivalNs = 0;  // the Feed under way
  uint64_t m_qwNowMs = 0;

  uint8_t m_byMode;
  uint16_t m_wBitTiming;
  uint32_t m_dwReceiveId = 0;
  uint32_t m_dwReceiveMaskId = 0;
  uint8_t m_byVersion = DEFAULT_VERSION;
  bool m_bReceiving = false;

  ETraffic m_eTraffic = TRAFFIC_SEQUENCE;
  CSimBusTraffic m_bus;
  uint32_t m_nFrameRate = DEFAULT_FRAME_RATE;
  std::vector<uint32_t> m_adwIds;
  std::vector<uint32_t> m_adwAccepted;   // m_adwIds that the present configuration sends
  size_t m_nNextIdIndex = 0;
  uint64_t m_qwScheduleStartMs = 0;      // frame k of the schedule is due k/rate after it
  uint64_t m_qwScheduledFrames = 0;      // frames of the schedule sent (or skipped) so far
  uint32_t m_dwSequence = 0;
};
