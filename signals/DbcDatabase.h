#pragma once
// A CAN database as read from a DBC file: messages by identifier, each with its signals.
//   BO_ 2365583598 EngineData: 8 ECU        -> 2.0B message 0x0CFF00EE ("EngineData", 8 bytes)
//    SG_ Speed : 7|16@0+ (0.01,0) [0|655.35] "km/h" Dash
//                                            -> big-endian, unsigned 16 bits from bit 7,
//                                               physical = raw * 0.01 + 0
//    SG_ Mode M : 0|2@1+ ...  /  SG_ A m1 : ... -> A is in the frame only while Mode's raw value is 1
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

enum class EDbcValueType : uint8_t { INTEGER, FLOAT32, FLOAT64 };

struct DbcSignal {
  std::string m_strName;
  uint16_t m_wStartBit = 0;  // little-endian: the lowest bit; big-endian: the highest, in the
                             // "sawtooth" numbering (bit 7 of byte 0 is 7, bit 0 of byte 1 is 8)
  uint8_t m_bySize = 1;      // 1..64 bits
  bool m_bBigEndian = false;
  bool m_bSigned = false;
  EDbcValueType m_eValueType = EDbcValueType::INTEGER;
  double m_dFactor = 1.0;
  double m_dOffset = 0.0;
  double m_dMinimum = 0.0;  // minimum == maximum (usually 0|0): no range given
  double m_dMaximum = 0.0;
  std::string m_strUnit;
  std::vector<std::string> m_receivers;
  bool m_bMultiplexer = false;   // "M": selects which multiplexed signals the frame holds
  int64_t m_nMultiplexValue = -1;  // "mN": N; -1 for a signal that is always present
  std::string m_strComment;
  std::vector<std::pair<int64_t, std::string>> m_valueTexts;  // raw value -> text, sorted by value

  // Where the signal lies, worked out once by the reader: the frame must carry m_byEndByte
  // bytes; the signal is m_bySize bits m_byShift bits up in the first 8 bytes read as one
  // 64-bit word (little-endian for @1, big-endian for @0). A signal past byte 8 has
  // m_byEndByte > 8 and is never in a frame here.
  uint8_t m_byEndByte = 0;
  uint8_t m_byShift = 0;
  bool HasRange() const { return m_dMinimum < m_dMaximum; }
};

struct DbcMessage {
  uint32_t m_dwId = 0;  // without the 2.0B flag
  bool m_bExtended = false;
  std::string m_strName;
  uint8_t m_byLength = 0;  // 0..64 bytes
  std::string m_strSender;
  std::string m_strComment;
  uint32_t m_nCycleTimeMs = 0;  // GenMsgCycleTime; 0: not given
  int m_nMultiplexer = -1;      // index of the "M" signal, -1 without
  std::vector<DbcSignal> m_signals;
};

class CDbcDatabase {
public:
  const std::vector<DbcMessage>& Messages() const { return m_messages; }
  const DbcMessage* Find(bool bExtended, uint32_t dwId) const;
  const DbcMessage* FindByName(const std::string& name) const;
  // Named value tables (VAL_TABLE_); signals carry their own texts.
  const std::vector<std::pair<std::string, std::vector<std::pair<int64_t, std::string>>>>& ValueTables() const {
    return m_valueTables;
  }
  std::size_t SignalCount() const;

private:
  friend class CDbcBuilder;
  std::vector<DbcMessage> m_messages;
  std::unordered_map<uint32_t, uint32_t> m_index;  // id | 0x80000000 for 2.0B -> message
  std::vector<std::pair<std::string, std::vector<std::pair<int64_t, std::string>>>> m_valueTables;
};
