#pragma once
// The ".ctd" transmit file, little-endian throughout:
//   2A 3F 00 00                     signature 16170
//   0A "TDataArray"                 name; a length byte of FF means a 16-bit length follows,
//                                   and FF FF FF a 32-bit one
//   nn nn | FF FF nn nn nn nn       record count: 16-bit below 65535, else FF FF and 32-bit
//   25 bytes per record             bStandardID(4) bDataFrame(4) bHexFormat(4) byLength(1)
//                                   dwID(4) dwBytes0to3(4) dwBytes4to7(4)
// An empty list is 17 bytes. The header is judged on its own, against the file's size,
// before a single record is read.
//
// Cyclic periods follow the records in a block of this program's own, written only when a
// row has one, so a list without periods is the plain file above byte for byte, and a
// reader of the plain file, which reads only the counted records, never sees the block:
//   "KXPD"                          signature
//   01 00                           version
//   nn nn nn nn                     count: the record count
//   2 bytes per record              its period in ms (0 none, at most 60000), in record order
// Bytes after the last record that do not begin with the signature are ignored; a block that
// begins with it but is cut, of another version or count, or holds a period out of range is
// refused.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "transmit/TData.h"

class CTDataObject;

constexpr uint32_t TDATA_SIGNATURE = 16170;
constexpr std::string_view TDATA_NAME = "TDataArray";
constexpr std::size_t TDATA_RECORD_SIZE = 25;
constexpr std::size_t TDATA_EMPTY_FILE_SIZE = 17;
// Signature, the longest length form of the name, the name and the longest count form.
constexpr std::size_t TDATA_MAX_HEADER_SIZE = 4 + 7 + TDATA_NAME.size() + 6;

constexpr std::string_view PERIOD_BLOCK_SIGNATURE = "KXPD";
constexpr uint16_t PERIOD_BLOCK_VERSION = 1;
constexpr std::size_t PERIOD_BLOCK_HEADER_SIZE = 10;

enum class ETransmitFileError { NONE, BAD_SIGNATURE, BAD_NAME, COUNT_TOO_LARGE, TRUNCATED, BAD_PERIOD_BLOCK };

struct CTransmitFileHeader {
  ETransmitFileError m_eError = ETransmitFileError::NONE;
  std::size_t m_nSize = 0;  // bytes before the first record
  uint32_t m_dwCount = 0;
};

// The header from the file's first bytes (at most TDATA_MAX_HEADER_SIZE of them), checked:
// signature, name, and a count whose records fit in the qwFileSize bytes of the whole file.
CTransmitFileHeader ParseTransmitHeader(std::span<const uint8_t> first, uint64_t qwFileSize);
// One stored record, taken as stored, without checks.
TData DecodeRecord(std::span<const uint8_t, TDATA_RECORD_SIZE> bytes);
void EncodeRecord(const TData& record, std::span<uint8_t, TDATA_RECORD_SIZE> out);
std::vector<uint8_t> EncodeTransmitHeader(std::size_t nCount);

// The period block of the list, empty when no record has a period.
std::vector<uint8_t> EncodePeriodBlock(const CTDataObject& list);
// How many bytes after the records a reader needs to judge and apply the block of nCount.
uint64_t PeriodBlockSize(std::size_t nCount);
// The bytes after the records (at most PeriodBlockSize of them are looked at): a period
// block sets each record's period; anything else leaves them at 0. BAD_PERIOD_BLOCK for a
// damaged block.
ETransmitFileError ApplyPeriodBlock(std::span<const uint8_t> trailing, std::span<TData> records);

struct CTransmitFileParse {
  ETransmitFileError m_eError = ETransmitFileError::NONE;
  std::vector<TData> m_records;  // empty unless m_eError is NONE
};

// A whole file held in memory, both ways.
std::vector<uint8_t> EncodeTransmitFile(const CTDataObject& list);
CTransmitFileParse ParseTransmitFile(std::span<const uint8_t> bytes);

// Why a file is refused, in words for the user ("" for NONE).
const char* DescribeTransmitFileError(ETransmitFileError eError);
