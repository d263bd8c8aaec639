#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"
#include "transmit/TransmitFileFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string DataFile(const std::string& name) {
  return std::string(KORVEX_TRANSMIT_DATA) + "/" + name;
}

Bytes FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WriteFile(const ScratchDir& dir, const std::string& name, const Bytes& bytes) {
  return dir.Write(name, std::string(bytes.begin(), bytes.end()));
}

// The record of one_record.ctd: CAN 2.0A data frame, Hex, length 2, ID 0x123, bytes 11 22.
TData GoldenRecord() {
  TData record;
  record.byLength = 2;
  record.dwID = 0x123;
  record.dwBytes0to3 = 0x11220000;
  return record;
}

void ExpectSameStored(const TData& a, const TData& b) {
  EXPECT_TRUE(IsSameFrame(a, b) && a.bHexFormat == b.bHexFormat);
}

TEST(TransmitFile, GoldenFilesEncodeAndLoad) {
  struct Case {
    const char* pszFile;
    std::size_t nRecords;
  };
  for (const Case& c : {Case{"empty.ctd", 0}, Case{"one_record.ctd", 1}}) {
    CTDataObject list;
    if (c.nRecords) list.Add(GoldenRecord());
    const Bytes golden = FileBytes(DataFile(c.pszFile));
    EXPECT_EQ(golden.size(), TDATA_EMPTY_FILE_SIZE + c.nRecords * TDATA_RECORD_SIZE);
    EXPECT_EQ(EncodeTransmitFile(list), golden) << c.pszFile;

    std::unique_ptr<CTDataObject> pLoaded;
    const CFileResult result = ReadTransmitFile(DataFile(c.pszFile), pLoaded);
    ASSERT_TRUE(result.m_bOk) << result.m_strMessage;
    ASSERT_EQ(pLoaded->Count(), c.nRecords);
    if (c.nRecords) {
      ExpectSameStored(pLoaded->At(0), GoldenRecord());
      EXPECT_EQ(pLoaded->At(0).pOwner, pLoaded.get());
    }
  }
}

// Large lists are built here rather than committed: the header and the last record are
// checked byte for byte, the rest by reading the file back.
TEST(TransmitFile, CountFormsAroundTheEscapeValue) {
  struct Case {
    uint32_t dwCount;
    Bytes countBytes;
  };
  const Case cases[] = {{65534, {0xFE, 0xFF}}, {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}}};
  ScratchDir dir;
  for (const Case& c : cases) {
    std::vector<TData> records(c.dwCount);
    for (uint32_t i = 0; i < c.dwCount; ++i) {
      records[i].bStandardID = 0;
      records[i].bHexFormat = 0;
      records[i].byLength = 8;
      records[i].dwID = i;
      records[i].dwBytes4to7 = ~i;
    }
    const CTDataObject list(records);
    const std::string path = dir / "big.ctd";
    ASSERT_TRUE(WriteTransmitFile(path, list).m_bOk);

    const Bytes bytes = FileBytes(path);
    const std::size_t nHeader = 15 + c.countBytes.size();
    ASSERT_EQ(bytes.size(), nHeader + std::size_t{c.dwCount} * TDATA_RECORD_SIZE);
    EXPECT_TRUE(std::equal(c.countBytes.begin(), c.countBytes.end(), bytes.begin() + 15));
    const uint8_t byLast = static_cast<uint8_t>(c.dwCount - 1);  // 0xFD or 0xFE
    const Bytes lastRecord = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 8, byLast, 0xFF, 0, 0,
                              0, 0, 0, 0, static_cast<uint8_t>(~byLast), 0x00, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(lastRecord.begin(), lastRecord.end(), bytes.end() - 25));

    std::unique_ptr<CTDataObject> pLoaded;
    ASSERT_TRUE(ReadTransmitFile(path, pLoaded).m_bOk);
    ASSERT_EQ(pLoaded->Count(), list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) ExpectSameStored(pLoaded->At(i), list.At(i));
  }
}

TEST(TransmitFile, RecordsLoadAsStoredAndEqualRecordsSurvive) {
  TData odd = GoldenRecord();
  odd.bStandardID = 7;
  odd.bDataFrame = 2;
  odd.byLength = 200;
  const TData records[] = {odd, odd, GoldenRecord()};
  ScratchDir dir;
  const std::string path = dir / "odd.ctd";
  ASSERT_TRUE(WriteTransmitFile(path, CTDataObject(records)).m_bOk);

  std::unique_ptr<CTDataObject> pLoaded;
  ASSERT_TRUE(ReadTransmitFile(path, pLoaded).m_bOk);
  ASSERT_EQ(pLoaded->Count(), 3u);
  for (std::size_t i = 0; i < 3; ++i) ExpectSameStored(pLoaded->At(i), records[i]);
  EXPECT_EQ(SendLength(pLoaded->At(0)), 8);
  EXPECT_EQ(pLoaded->Add(odd), nullptr);
}

TEST(TransmitFile, ArchiveFormsOfTheHeaderThatAreStillValid) {
  const Bytes name = {'T', 'D', 'a', 't', 'a', 'A', 'r', 'r', 'a', 'y'};
  auto file = [&](const Bytes& nameLength, const Bytes& count, std::size_t nRecords) {
    Bytes bytes = {0x2A, 0x3F, 0x00, 0x00};
    bytes.insert(bytes.end(), nameLength.begin(), nameLength.end());
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), count.begin(), count.end());
    bytes.resize(bytes.size() + nRecords * TDATA_RECORD_SIZE, 0);
    return bytes;
  };
  struct Case {
    const char* pszWhat;
    Bytes bytes;
    ETransmitFileError eError;
    std::size_t nRecords;
  };
  const Case cases[] = {
      {"16-bit name length", file({0xFF, 0x0A, 0x00}, {1, 0}, 1), ETransmitFileError::NONE, 1},
      {"32-bit form of a small count", file({0x0A}, {0xFF, 0xFF, 2, 0, 0, 0}, 2),
       ETransmitFileError::NONE, 2},
      {"bytes after the last record", file({0x0A}, {1, 0}, 2), ETransmitFileError::NONE, 1},
      {"wide-string name", file({0xFF, 0xFE, 0xFF, 0x0A}, {0, 0}, 0),
       ETransmitFileError::BAD_NAME, 0},
  };
  for (const Case& c : cases) {
    const CTransmitFileParse parse = ParseTransmitFile(c.bytes);
    EXPECT_EQ(parse.m_eError, c.eError) << c.pszWhat;
    EXPECT_EQ(parse.m_records.size(), c.nRecords) << c.pszWhat;
  }
}

TEST(TransmitFile, EveryCutOfAValidFileFails) {
  const Bytes golden = FileBytes(DataFile("one_record.ctd"));
  for (std::size_t n = 0; n < golden.size(); ++n) {
    const CTransmitFileParse parse =
        ParseTransmitFile(std::span<const uint8_t>(golden.data(), n));
    EXPECT_NE(parse.m_eError, ETransmitFileError::NONE) << n;
    EXPECT_TRUE(parse.m_records.empty()) << n;
  }
}

TEST(TransmitFile, HostileFilesFailAndLeaveTheListAsItWas) {
  ScratchDir dir;
  const std::string fifo = dir / "fifo.ctd";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not block waiting for a writer
  struct Case {
    std::string path;
    const char* pszCause;
  };
  const Case cases[] = {
      {DataFile("wrong_signature.ctd"), "wrong signature"},
      {DataFile("name_case.ctd"), "wrong list name"},
      {DataFile("cut_in_record.ctd"), "fewer records"},
      {DataFile("huge_count.ctd"), "fewer records"},
      {WriteFile(dir, "header_cut.ctd", Bytes{0x2A, 0x3F, 0x00, 0x00, 0x0A, 'T'}), "ends before"},
      {dir / "missing.ctd", "No such file"},
      {dir.Path(), "not a regular file"},
      {fifo, "not a regular file"},
  };
  for (const Case& c : cases) {
    auto pList = std::make_unique<CTDataObject>();
    pList->Add(GoldenRecord());
    CTDataObject* pBefore = pList.get();

    const CFileResult result = ReadTransmitFile(c.path, pList);
    EXPECT_FALSE(result.m_bOk) << c.path;
    EXPECT_NE(result.m_strMessage.find(c.path), std::string::npos) << result.m_strMessage;
    EXPECT_NE(result.m_strMessage.find(c.pszCause), std::string::npos) << result.m_strMessage;
    ASSERT_EQ(pList.get(), pBefore);
    ASSERT_EQ(pList->Count(), 1u);
    ExpectSameStored(pList->At(0), GoldenRecord());
  }
}

// Accepts nWriteLimit bytes, then fails the way a full disk does; or fails a later step.
class CFailingCalls : public CFileCalls {
public:
  enum class EStep { WRITE, SYNC, RENAME };
  CFailingCalls(EStep eStep, std::size_t nWriteLimit) : m_eStep(eStep), m_nLeft(nWriteLimit) {}

  ssize_t Write(int fd, const void* pData, std::size_t nSize) override {
    if (m_eStep == EStep::WRITE && m_nLeft == 0) {
      errno = ENOSPC;
      return -1;
    }
    if (m_eStep == EStep::WRITE) nSize = std::min(nSize, m_nLeft);
    const ssize_t n = CFileCalls::Write(fd, pData, nSize);
    if (m_eStep == EStep::WRITE && n > 0) m_nLeft -= static_cast<std::size_t>(n);
    return n;
  }
  int Sync(int fd) override {
    if (m_eStep != EStep::SYNC) return CFileCalls::Sync(fd);
    errno = EIO;
    return -1;
  }
  int Rename(const char* pszFrom, const char* pszTo) override {
    if (m_eStep != EStep::RENAME) return CFileCalls::Rename(pszFrom, pszTo);
    errno = EXDEV;
    return -1;
  }

private:
  EStep m_eStep;
  std::size_t m_nLeft;
};

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(TransmitFile, FailedSaveLeavesThePreviousFileAndNoTemporary) {
  using EStep = CFailingCalls::EStep;
  struct Case {
    EStep eStep;
    std::size_t nWriteLimit;
    const char* pszCause;
  };
  const Case cases[] = {{EStep::WRITE, 0, "No space left"},
                        {EStep::WRITE, 30, "No space left"},
                        {EStep::WRITE, 41, "No space left"},
                        {EStep::SYNC, 0, "Input/output error"},
                        {EStep::RENAME, 0, "Invalid cross-device link"}};
  CTDataObject list;
  list.Add(GoldenRecord());
  TData second = GoldenRecord();
  second.dwID = 0x7FF;
  list.Add(second);
  for (const Case& c : cases) {
    ScratchDir dir;
    const Bytes previous = FileBytes(DataFile("one_record.ctd"));
    const std::string path = WriteFile(dir, "frames.ctd", previous);

    CFailingCalls calls(c.eStep, c.nWriteLimit);
    const CFileResult result = WriteTransmitFile(path, list, calls);
    EXPECT_FALSE(result.m_bOk);
    EXPECT_NE(result.m_strMessage.find(path), std::string::npos) << result.m_strMessage;
    EXPECT_NE(result.m_strMessage.find(c.pszCause), std::string::npos) << result.m_strMessage;
    EXPECT_EQ(FileBytes(path), previous) << result.m_strMessage;
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"frames.ctd"});
  }
}

TEST(TransmitFile, SaveReplacesTheFileKeepingItsModeAndLinks) {
  ScratchDir dir;
  const std::string target = WriteFile(dir, "real/frames.ctd", Bytes(100, 0xAA));
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  dir.Link("real/frames.ctd", "link.ctd");

  CTDataObject list;
  list.Add(GoldenRecord());
  const CFileResult result = WriteTransmitFile(dir / "link.ctd", list);
  ASSERT_TRUE(result.m_bOk) << result.m_strMessage;

  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ctd"));
  EXPECT_EQ(FileBytes(target), FileBytes(DataFile("one_record.ctd")));
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(dir / "real"), std::vector<std::string>{"frames.ctd"});

  const CFileResult missingDir = WriteTransmitFile(dir / "no/such/dir.ctd", list);
  EXPECT_FALSE(missingDir.m_bOk);
  EXPECT_NE(missingDir.m_strMessage.find(dir / "no/such/dir.ctd"), std::string::npos);
}

}  // namespace
