#include "transmit/TransmitFileFormat.h"

#include <algorithm>

#include "transmit/CTDataObject.h"

namespace {

constexpr uint16_t COUNT_ESCAPE = 0xFFFF;
constexpr uint8_t NAME_LENGTH_ESCAPE = 0xFF;
constexpr uint16_t NAME_WIDE_MARKER = 0xFFFE;  // a UTF-16 name; this program never writes one

void PutLe(uint8_t* pOut, uint32_t dwValue, unsigned nBytes) {
  for (unsigned i = 0; i < nBytes; ++i) pOut[i] = static_cast<uint8_t>(dwValue >> (8 * i));
}

uint32_t GetLe(const uint8_t* pIn, unsigned nBytes) {
  uint32_t dwValue = 0;
  for (unsigned i = 0; i < nBytes; ++i) dwValue |= uint32_t{pIn[i]} << (8 * i);
  return dwValue;
}

// Little-endian reads that fail, instead of reading on, at the end of the bytes.
class CLeReader {
public:
  explicit CLeReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  bool Read(unsigned nBytes, uint32_t& dwValue) {
    if (Remaining() < nBytes) return false;
    dwValue = GetLe(m_bytes.data() + m_nPos, nBytes);
    m_nPos += nBytes;
    return true;
  }
  bool ReadBytes(std::size_t nBytes, std::span<const uint8_t>& out) {
    if (Remaining() < nBytes) return false;
    out = m_bytes.subspan(m_nPos, nBytes);
    m_nPos += nBytes;
    return true;
  }
  std::size_t Position() const { return m_nPos; }
  std::size_t Remaining() const { return m_bytes.size() - m_nPos; }

private:
  std::span<const uint8_t> m_bytes;
  std::size_t m_nPos = 0;
};

// The archive's string length: one byte below 255, else FF + 16-bit, else FF FF FF + 32-bit.
// A wide-string marker is reported as a length that no name matches.
bool ReadNameLength(CLeReader& reader, uint32_t& dwLength, bool& bWide) {
  bWide = false;
  if (!reader.Read(1, dwLength)) return false;
  if (dwLength != NAME_LENGTH_ESCAPE) return true;
  if (!reader.Read(2, dwLength)) return false;
  if (dwLength == NAME_WIDE_MARKER) bWide = true;
  if (dwLength != COUNT_ESCAPE) return true;
  return reader.Read(4, dwLength);
}

ETransmitFileError ReadHeader(CLeReader& reader, uint32_t& dwCount) {
  uint32_t dwValue = 0;
  if (!reader.Read(4, dwValue)) return ETransmitFileError::TRUNCATED;
  if (dwValue != TDATA_SIGNATURE) return ETransmitFileError::BAD_SIGNATURE;

  uint32_t dwNameLength = 0;
  bool bWide = false;
  if (!ReadNameLength(reader, dwNameLength, bWide)) return ETransmitFileError::TRUNCATED;
  if (bWide || dwNameLength != TDATA_NAME.size()) return ETransmitFileError::BAD_NAME;
  std::span<const uint8_t> name;
  if (!reader.ReadBytes(dwNameLength, name)) return ETransmitFileError::TRUNCATED;
  if (!std::equal(name.begin(), name.end(), TDATA_NAME.begin())) return ETransmitFileError::BAD_NAME;

  if (!reader.Read(2, dwCount)) return ETransmitFileError::TRUNCATED;
  if (dwCount == COUNT_ESCAPE && !reader.Read(4, dwCount)) return ETransmitFileError::TRUNCATED;
  return ETransmitFileError::NONE;
}

}  // namespace

CTransmitFileHeader ParseTransmitHeader(std::span<const uint8_t> first, uint64_t qwFileSize) {
  CTransmitFileHeader header;
  CLeReader reader(first.first(std::min(first.size(), TDATA_MAX_HEADER_SIZE)));
  header.m_eError = ReadHeader(reader, header.m_dwCount);
  header.m_nSize = reader.Position();
  if (header.m_eError == ETransmitFileError::NONE &&
      uint64_t{header.m_dwCount} * TDATA_RECORD_SIZE > qwFileSize - std::min<uint64_t>(qwFileSize, header.m_nSize))
    header.m_eError = ETransmitFileError::COUNT_TOO_LARGE;
  return header;
}

TData DecodeRecord(std::span<const uint8_t, TDATA_RECORD_SIZE> bytes) {
  const uint8_t* p = bytes.data();
  return {.bStandardID = GetLe(p, 4), .bDataFrame = GetLe(p + 4, 4), .bHexFormat = GetLe(p + 8, 4),
          .byLength = p[12], .dwID = GetLe(p + 13, 4), .dwBytes0to3 = GetLe(p + 17, 4),
          .dwBytes4to7 = GetLe(p + 21, 4)};
}

void EncodeRecord(const TData& record, std::span<uint8_t, TDATA_RECORD_SIZE> out) {
  uint8_t* p = out.data();
  PutLe(p, record.bStandardID, 4);
  PutLe(p + 4, record.bDataFrame, 4);
  PutLe(p + 8, record.bHexFormat, 4);
  p[12] = record.byLength;
  PutLe(p + 13, record.dwID, 4);
  PutLe(p + 17, record.dwBytes0to3, 4);
  PutLe(p + 21, record.dwBytes4to7, 4);
}

std::vector<uint8_t> EncodeTransmitHeader(std::size_t nCount) {
  std::vector<uint8_t> out(TDATA_MAX_HEADER_SIZE);
  PutLe(out.data(), TDATA_SIGNATURE, 4);
  out[4] = static_cast<uint8_t>(TDATA_NAME.size());
  std::copy(TDATA_NAME.begin(), TDATA_NAME.end(), out.begin() + 5);
  std::size_t nSize = 5 + TDATA_NAME.size();
  // A list never holds more than MAX_LIST_RECORDS, so the count fits in 32 bits.
  const auto dwCount = static_cast<uint32_t>(nCount);
  if (dwCount < COUNT_ESCAPE) {
    PutLe(out.data() + nSize, dwCount, 2);
    nSize += 2;
  } else {
    PutLe(out.data() + nSize, COUNT_ESCAPE, 2);
    PutLe(out.data() + nSize + 2, dwCount, 4);
    nSize += 6;
  }
  out.resize(nSize);
  return out;
}

std::vector<uint8_t> EncodePeriodBlock(const CTDataObject& list) {
  bool bAnyPeriod = false;
  for (std::size_t i = 0; i < list.Count() && !bAnyPeriod; ++i) bAnyPeriod = list.At(i).wPeriodMs != 0;
  if (!bAnyPeriod) return {};
  std::vector<uint8_t> out(PeriodBlockSize(list.Count()));
  std::copy(PERIOD_BLOCK_SIGNATURE.begin(), PERIOD_BLOCK_SIGNATURE.end(), out.begin());
  PutLe(out.data() + 4, PERIOD_BLOCK_VERSION, 2);
  PutLe(out.data() + 6, static_cast<uint32_t>(list.Count()), 4);
  for (std::size_t i = 0; i < list.Count(); ++i) PutLe(out.data() + PERIOD_BLOCK_HEADER_SIZE + 2 * i, list.At(i).wPeriodMs, 2);
  return out;
}

uint64_t PeriodBlockSize(std::size_t nCount) { return PERIOD_BLOCK_HEADER_SIZE + 2 * uint64_t{nCount}; }

ETransmitFileError ApplyPeriodBlock(std::span<const uint8_t> trailing, std::span<TData> records) {
  if (trailing.size() < PERIOD_BLOCK_SIGNATURE.size() ||
      !std::equal(PERIOD_BLOCK_SIGNATURE.begin(), PERIOD_BLOCK_SIGNATURE.end(), trailing.begin()))
    return ETransmitFileError::NONE;
  CLeReader reader(trailing.subspan(PERIOD_BLOCK_SIGNATURE.size()));
  uint32_t dwVersion = 0;
  uint32_t dwCount = 0;
  if (!reader.Read(2, dwVersion) || dwVersion != PERIOD_BLOCK_VERSION || !reader.Read(4, dwCount) ||
      dwCount != records.size() || reader.Remaining() < 2 * uint64_t{dwCount})
    return ETransmitFileError::BAD_PERIOD_BLOCK;
  std::vector<uint16_t> periods(dwCount);
  for (uint16_t& wPeriod : periods) {
    uint32_t dwPeriod = 0;
    reader.Read(2, dwPeriod);
    if (dwPeriod > MAX_PERIOD_MS) return ETransmitFileError::BAD_PERIOD_BLOCK;
    wPeriod = static_cast<uint16_t>(dwPeriod);
  }
  for (std::size_t i = 0; i < records.size(); ++i) records[i].wPeriodMs = periods[i];
  return ETransmitFileError::NONE;
}

std::vector<uint8_t> EncodeTransmitFile(const CTDataObject& list) {
  std::vector<uint8_t> out = EncodeTransmitHeader(list.Count());
  const std::size_t nHeader = out.size();
  out.resize(nHeader + list.Count() * TDATA_RECORD_SIZE);
  for (std::size_t i = 0; i < list.Count(); ++i)
    EncodeRecord(list.At(i), std::span<uint8_t, TDATA_RECORD_SIZE>(out.data() + nHeader + i * TDATA_RECORD_SIZE,
                                                                     TDATA_RECORD_SIZE));
  const std::vector<uint8_t> periods = EncodePeriodBlock(list);
  out.insert(out.end(), periods.begin(), periods.end());
  return out;
}

CTransmitFileParse ParseTransmitFile(std::span<const uint8_t> bytes) {
  CTransmitFileParse result;
  const CTransmitFileHeader header = ParseTransmitHeader(bytes, bytes.size());
  result.m_eError = header.m_eError;
  if (header.m_eError != ETransmitFileError::NONE) return result;
  result.m_records.reserve(header.m_dwCount);
  for (uint32_t i = 0; i < header.m_dwCount; ++i)
    result.m_records.push_back(DecodeRecord(
        bytes.subspan(header.m_nSize + std::size_t{i} * TDATA_RECORD_SIZE).first<TDATA_RECORD_SIZE>()));
  result.m_eError =
      ApplyPeriodBlock(bytes.subspan(header.m_nSize + std::size_t{header.m_dwCount} * TDATA_RECORD_SIZE), result.m_records);
  if (result.m_eError != ETransmitFileError::NONE) result.m_records.clear();
  return result;
}

const char* DescribeTransmitFileError(ETransmitFileError eError) {
  switch (eError) {
    case ETransmitFileError::NONE: return "";
    case ETransmitFileError::BAD_SIGNATURE: return "송신 파일이 아닙니다 (파일 서명이 다릅니다)";
    case ETransmitFileError::BAD_NAME: return "송신 파일이 아닙니다 (목록 이름이 다릅니다)";
    case ETransmitFileError::COUNT_TOO_LARGE: return "파일이 손상되었읍니다 (기록된 개수보다 데이터가 적읍니다)";
    case ETransmitFileError::TRUNCATED: return "파일이 손상되었읍니다 (마지막 항목 전에 파일이 끝납니다)";
    case ETransmitFileError::BAD_PERIOD_BLOCK: return "파일이 손상되었읍니다 (송신 주기 블록이 올바르지 않습니다)";
  }
  return "";
}
