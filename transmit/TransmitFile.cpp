#include "transmit/TransmitFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

#include "link/CUniqueFd.h"
#include "resources/StringTable.h"
#include "transmit/CTDataObject.h"
#include "transmit/SystemErrorText.h"
#include "transmit/TransmitFileFormat.h"

namespace {

constexpr std::size_t RECORDS_PER_READ = 4096;

CFileResult Failure(const std::string& path, const std::string& strCause) { return {false, false, path + ": " + strCause}; }
CFileResult OutOfMemory() { return {false, true, std::string(LoadString(IDS_OUT_OF_MEMORY))}; }

// Reads until nSize bytes or the end of the file; the count read, or -1 with errno.
ssize_t ReadFull(int fd, uint8_t* pOut, std::size_t nSize) {
  std::size_t nDone = 0;
  while (nDone < nSize) {
    const ssize_t n = ::read(fd, pOut + nDone, nSize - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    nDone += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(nDone);
}

CFileResult ReadRecords(const std::string& path, std::unique_ptr<CTDataObject>& pTData) {
  // Only regular files: a FIFO or a device could block or never end.
  CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.IsValid()) return Failure(path, SystemErrorText(errno));
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return Failure(path, SystemErrorText(errno));
  if (!S_ISREG(st.st_mode)) return Failure(path, "일반 파일이 아닙니다");
  const auto qwFileSize = static_cast<uint64_t>(st.st_size);

  uint8_t abyHeader[TDATA_MAX_HEADER_SIZE];
  const ssize_t nHeaderRead = ReadFull(fd.Get(), abyHeader, sizeof abyHeader);
  if (nHeaderRead < 0) return Failure(path, SystemErrorText(errno));
  const CTransmitFileHeader header =
      ParseTransmitHeader({abyHeader, static_cast<std::size_t>(nHeaderRead)}, qwFileSize);
  if (header.m_eError != ETransmitFileError::NONE) return Failure(path, DescribeTransmitFileError(header.m_eError));
  if (header.m_dwCount > MAX_LIST_RECORDS) return OutOfMemory();
  if (::lseek(fd.Get(), static_cast<off_t>(header.m_nSize), SEEK_SET) < 0) return Failure(path, SystemErrorText(errno));

  std::vector<TData> records;
  records.reserve(header.m_dwCount);
  std::vector<uint8_t> block(RECORDS_PER_READ * TDATA_RECORD_SIZE);
  while (records.size() < header.m_dwCount) {
    const std::size_t nWanted = std::min(RECORDS_PER_READ, header.m_dwCount - records.size()) * TDATA_RECORD_SIZE;
    const ssize_t nRead = ReadFull(fd.Get(), block.data(), nWanted);
    if (nRead < 0) return Failure(path, SystemErrorText(errno));
    // The file shrank since its size was taken.
    if (static_cast<std::size_t>(nRead) < nWanted)
      return Failure(path, DescribeTransmitFileError(ETransmitFileError::TRUNCATED));
    for (std::size_t nAt = 0; nAt < nWanted; nAt += TDATA_RECORD_SIZE)
      records.push_back(DecodeRecord(std::span<const uint8_t, TDATA_RECORD_SIZE>(block.data() + nAt, TDATA_RECORD_SIZE)));
  }
  // The period block, if any: never more than the rest of the file, nor than the block can be.
  const uint64_t qwRest = qwFileSize - std::min<uint64_t>(qwFileSize, header.m_nSize + records.size() * TDATA_RECORD_SIZE);
  std::vector<uint8_t> trailing(std::min<uint64_t>(qwRest, PeriodBlockSize(records.size())));
  const ssize_t nTrailing = ReadFull(fd.Get(), trailing.data(), trailing.size());
  if (nTrailing < 0) return Failure(path, SystemErrorText(errno));
  trailing.resize(static_cast<std::size_t>(nTrailing));
  const ETransmitFileError ePeriods = ApplyPeriodBlock(trailing, records);
  if (ePeriods != ETransmitFileError::NONE) return Failure(path, DescribeTransmitFileError(ePeriods));
  pTData = std::make_unique<CTDataObject>(std::move(records));
  return {true, false, {}};
}

}  // namespace

CFileResult ReadTransmitFile(const std::string& path, std::unique_ptr<CTDataObject>& pTData) {
  try {
    return ReadRecords(path, pTData);
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
}
