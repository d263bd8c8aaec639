#pragma once
// Vector ASC logs, the text form most CAN tools exchange. What the writer puts down (the times
// are seconds after the start in the header, in local time):
//   date Tue Nov 14 10:13:20.000 pm 2023
//   base hex  timestamps absolute
//   internal events logged
//   Begin Triggerblock Tue Nov 14 10:13:20.000 pm 2023
//      0.000000 Start of measurement
//      0.000042 1  123             Rx   d 2 11 22      -> 2.0A data 0x123, 11 22
//      0.100000 1  18FEF100x       Rx   d 0            -> 2.0B data 0x18FEF100 ("x"), no bytes
//      0.200000 1  7E8             Rx   r 3            -> 2.0A remote, length 3
//   End TriggerBlock
// The reader also takes "base dec" (identifiers, lengths and bytes in decimal), "timestamps
// relative" (each time counted from the event before it), Tx lines, 24-hour and German-month
// dates, and attributes after the data ("Length = 228000 BitCount = 118 ID = 291"). Error
// frames, CAN FD lines, statistics and other events are read past as lines that hold no frame.
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/ReceivedFrame.h"

// Longer lines are no ASC line of a CAN 2.0 frame; readers refuse them unkept.
inline constexpr std::size_t ASC_MAX_LINE = 4096;

enum class EAscLine {
  FRAME,     // a CAN 2.0 frame, in the record
  NO_FRAME,  // header, comment, trigger block, another event: nothing to read
  REFUSED,   // not an ASC line; the reason says why
};

// The reading state of one file: number base, time mode, start and the time of the last event.
// A value type, so a viewer can copy it to read one line again.
class CAscParser {
public:
  // One line without its line end (a CR before it is ignored). A frame's record gets the start
  // plus its time as both arrival times; its sequence is left as it was.
  EAscLine Parse(std::string_view line, ReceivedFrame& record);
  const char* Reason() const { return m_pszReason; }

private:
  bool ParseHeader(std::string_view line);
  EAscLine ParseEvent(std::string_view line, ReceivedFrame& record);
  EAscLine Refuse(const char* pszReason) {
    m_pszReason = pszReason;
    return EAscLine::REFUSED;
  }

  bool m_bDecimal = false;
  bool m_bRelative = false;
  int64_t m_nStartNs = 0;      // of the header's date or the trigger block's, as wall time
  int64_t m_nLastEventNs = 0;  // time of the last event after the start, for relative times
  const char* m_pszReason = "";
};

// Reads "Tue Nov 14 10:13:20.000 pm 2023" (also "14:13:20", without fraction, German month
// names) as local time: ns since 1970, or -1 when it is no such date.
int64_t ParseAscDate(std::string_view text);

// Writes ASC text into a string the caller sends on: Begin once, a line per frame, End once.
class CAscWriter {
public:
  // The header and the trigger block's start, dated nStartNs (wall time) cut to the second.
  void Begin(int64_t nStartNs, std::string& out);
  // The frame's line; its time is its wall time after the start (0 if it was before), in us.
  void Frame(const ReceivedFrame& record, std::string& out) const;
  static void End(std::string& out);
  int64_t StartNs() const { return m_nStartNs; }

private:
  int64_t m_nStartNs = 0;
};
