#pragma once
// Reads a DBC file into a CDbcDatabase. Read: messages (BO_), signals (SG_, with M / mN
// multiplexing), comments (CM_), value texts (VAL_, VAL_TABLE_), float signals (SIG_VALTYPE_)
// and the message attribute GenMsgCycleTime (BA_); every other statement is skipped up to its
// ';', the header lists (NS_, BU_) up to the next line that is not indented.
//   "BO_ 100 M: 8 ECU\n SG_ S : 0|8@1+ (1,0) [0|0] \"\" X\n" -> one message, one signal
//   "BO_ 100 M: 8 ECU\n SG_ S : 60|8@1+ ..."                 -> line 2, column 2: does not fit
//
// The file is untrusted: its size, every name and text, and the number of everything it
// declares are bounded, and the reader never recurses, so no file can exhaust memory or time.
#include <cstdint>
#include <span>
#include <string>

#include "signals/DbcDatabase.h"

inline constexpr std::size_t DBC_MAX_FILE_BYTES = 32u << 20;
inline constexpr std::size_t DBC_MAX_NAME = 1024;
inline constexpr std::size_t DBC_MAX_TEXT = 64u << 10;
inline constexpr std::size_t DBC_MAX_MESSAGES = 16384;
inline constexpr std::size_t DBC_MAX_SIGNALS_PER_MESSAGE = 1024;
// Signals, receivers, value texts and value tables together.
inline constexpr std::size_t DBC_MAX_ENTRIES = 500000;

struct DbcReadResult {
  bool m_bOk = false;
  CDbcDatabase m_database;  // empty unless m_bOk
  // Where reading stopped (1-based; the column counts bytes) and why.
  uint32_t m_nLine = 0;
  uint32_t m_nColumn = 0;
  std::string m_strError;
  // "line L, column C: reason", or the reason alone for a file that could not be read.
  std::string ErrorText() const;
};

DbcReadResult ReadDbc(std::span<const uint8_t> text);
// The file at path; one larger than DBC_MAX_FILE_BYTES is refused unread.
DbcReadResult ReadDbcFile(const std::string& path);
