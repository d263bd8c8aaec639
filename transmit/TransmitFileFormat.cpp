#include "transmit/TransmitFileFormat.h"

#include <algorithm>

#include "transmit/CTDataObject.h"

namespace {

constexpr uint16_t COUNT_ESCAPE = 0xFFFF;
constexpr uint8_t NAME_LENGTH_ESCAPE = 0xFF;
constexpr uint16_t NAME_WIDE_MARKER = 0xFFFE;  // a UTF-16 name; this program never writes one

void PutLe(std::vector<uint8_t>& out, uint32_t dwValue, unsigned nBytes) {
  for (unsigned i = 0; i < nBytes; ++i) out.push_back(static_cast<uint8_t>(dwValue >> (8 * i)));
}

// Little-endian reads that fail, instead of reading on, at the end of the bytes.
class CLeReader {
public:
  explicit CLeReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  bool Read(unsigned nBytes, uint32_t& dwValue) {
    if (Remaining() < nBytes) return false;
    dwValue = 0;
    for (unsigned i = 0; i < nBytes; ++i) dwValue |= uint32_t{m_bytes[m_nPos + i]} << (8 * i);
    m_nPos += nBytes;
    return true;
  }
  bool ReadBytes(std::size_t nBytes, std::span<const uint8_t>& out) {
    if (Remaining() < nBytes) return false;
    out = m_bytes.subspan(m_nPos, nBytes);
    m_nPos += nBytes;
    return true;
  }
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

ETransmitFileError ReadRecords(CLeReader& reader, std::vector<TData>& records) {
  uint32_t dwValue = 0;
  if (!reader.Read(4, dwValue)) return ETransmitFileError::TRUNCATED;
  if (dwValue != TDATA_SIGNATURE) return ETransmitFileError::BAD_SIGNATURE;

  uint32_t dwNameLength = 0;
  bool bWide = false;
  if (!ReadNameLength(reader, dwNameLength, bWide)) return ETransmitFileError::TRUNCATED;
  if (bWide || dwNameLength != TDATA_NAME.size()) return ETransmitFileError::BAD_NAME;
  std::span<const uint8_t> name;
  if (!reader.ReadBytes(dwNameLength, name)) return ETransmitFileError::TRUNCATED;
  if (!std::equal(name.begin(), name.end(), TDATA_NAME.begin()))
    return ETransmitFileError::BAD_NAME;

  uint32_t dwCount = 0;
  if (!reader.Read(2, dwCount)) return ETransmitFileError::TRUNCATED;
  if (dwCount == COUNT_ESCAPE && !reader.Read(4, dwCount)) return ETransmitFileError::TRUNCATED;
  if (uint64_t{dwCount} * TDATA_RECORD_SIZE > reader.Remaining())
    return ETransmitFileError::COUNT_TOO_LARGE;

  records.resize(dwCount);
  for (TData& record : records) {
    uint32_t dwLength = 0;
    // The count check above guarantees every read of this loop succeeds.
    reader.Read(4, record.bStandardID);
    reader.Read(4, record.bDataFrame);
    reader.Read(4, record.bHexFormat);
    reader.Read(1, dwLength);
    reader.Read(4, record.dwID);
    reader.Read(4, record.dwBytes0to3);
    reader.Read(4, record.dwBytes4to7);
    record.byLength = static_cast<uint8_t>(dwLength);
  }
  return ETransmitFileError::NONE;
}

}  // namespace

std::vector<uint8_t> EncodeTransmitFile(const CTDataObject& list) {
  std::vector<uint8_t> out;
  out.reserve(TDATA_EMPTY_FILE_SIZE + 4 + list.Count() * TDATA_RECORD_SIZE);
  PutLe(out, TDATA_SIGNATURE, 4);
  out.push_back(static_cast<uint8_t>(TDATA_NAME.size()));
  out.insert(out.end(), TDATA_NAME.begin(), TDATA_NAME.end());
  // A list is never near 2^32 records: each costs far more memory than that would allow.
  const auto dwCount = static_cast<uint32_t>(list.Count());
  if (dwCount < COUNT_ESCAPE) {
    PutLe(out, dwCount, 2);
  } else {
    PutLe(out, COUNT_ESCAPE, 2);
    PutLe(out, dwCount, 4);
  }
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const TData& record = list.At(i);
    PutLe(out, record.bStandardID, 4);
    PutLe(out, record.bDataFrame, 4);
    PutLe(out, record.bHexFormat, 4);
    out.push_back(record.byLength);
    PutLe(out, record.dwID, 4);
    PutLe(out, record.dwBytes0to3, 4);
    PutLe(out, record.dwBytes4to7, 4);
  }
  return out;
}

CTransmitFileParse ParseTransmitFile(std::span<const uint8_t> bytes) {
  CTransmitFileParse result;
  CLeReader reader(bytes);
  result.m_eError = ReadRecords(reader, result.m_records);
  if (result.m_eError != ETransmitFileError::NONE) result.m_records.clear();
  return result;
}

const char* DescribeTransmitFileError(ETransmitFileError eError) {
  switch (eError) {
    case ETransmitFileError::NONE: return "";
    case ETransmitFileError::BAD_SIGNATURE: return "not a transmit file (wrong signature)";
    case ETransmitFileError::BAD_NAME: return "not a transmit file (wrong list name)";
    case ETransmitFileError::COUNT_TOO_LARGE:
      return "damaged: it holds fewer records than its count says";
    case ETransmitFileError::TRUNCATED: return "damaged: it ends before its last field";
  }
  return "";
}
