#pragma once
// The ".ctd" transmit file, little-endian throughout:
//   2A 3F 00 00                     signature 16170
//   0A "TDataArray"                 name; a length byte of FF means a 16-bit length follows,
//                                   and FF FF FF a 32-bit one
//   nn nn | FF FF nn nn nn nn       record count: 16-bit below 65535, else FF FF and 32-bit
//   25 bytes per record             bStandardID(4) bDataFrame(4) bHexFormat(4) byLength(1)
//                                   dwID(4) dwBytes0to3(4) dwBytes4to7(4)
// An empty list is 17 bytes; bytes after the last record are ignored.
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

enum class ETransmitFileError { NONE, BAD_SIGNATURE, BAD_NAME, COUNT_TOO_LARGE, TRUNCATED };

struct CTransmitFileParse {
  ETransmitFileError m_eError = ETransmitFileError::NONE;
  std::vector<TData> m_records;  // empty unless m_eError is NONE
};

std::vector<uint8_t> EncodeTransmitFile(const CTDataObject& list);

// Never reads past the bytes given, and refuses a count the bytes cannot hold before
// allocating anything for it. Records are taken as stored, without checks.
CTransmitFileParse ParseTransmitFile(std::span<const uint8_t> bytes);

// Why a parse failed, in words for the user ("" for NONE).
const char* DescribeTransmitFileError(ETransmitFileError eError);
