// The transmit list and its file: golden and hostile files, count forms, failed and linked saves.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "support/ScratchDir.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"
#include "transmit/TransmitFileFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string DataFile(const std::string& name) { return std::string(KORVEX_TRANSMIT_DATA) + "/" + name; }

Bytes FileBytes(const std::string& path) {
  return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}
// A failure whose message names the file and the cause.
bool FailedSaying(const CFileResult& result, const std::string& path, const char* pszCause) {
  return !result.m_bOk && result.m_strMessage.find(path) != std::string::npos &&
         result.m_strMessage.find(pszCause) != std::string::npos;
}

// With 0x123, the record of one_record.ctd: CAN 2.0A data frame, Hex, length 2, bytes 11 22.
TData Frame(uint32_t dwID = 0x123) { return {.byLength = 2, .dwID = dwID, .dwBytes0to3 = 0x11220000}; }

bool SameStored(const TData& a, const TData& b) { return IsSameFrame(a, b) && a.bHexFormat == b.bHexFormat; }

// Every frame field but the editing format makes a record new; removal goes by identity and
// the others keep their order and addresses.
TEST(CTDataObject, DuplicateRuleAndRemovalByIdentity) {
  const std::tuple<const char*, void (*)(TData&), bool> kCases[] = {
      {"nothing", [](TData&) {}, false}, {"bHexFormat", [](TData& r) { r.bHexFormat = 0; }, false},
      {"bStandardID", [](TData& r) { r.bStandardID = 0; }, true}, {"bDataFrame", [](TData& r) { r.bDataFrame = 0; }, true},
      {"byLength", [](TData& r) { r.byLength = 3; }, true}, {"dwID", [](TData& r) { r.dwID = 0x124; }, true},
      {"dwBytes0to3", [](TData& r) { r.dwBytes0to3 ^= 1; }, true},
      {"dwBytes4to7", [](TData& r) { r.dwBytes4to7 = 0x80000000; }, true}};
  for (const auto& [pszChange, pfnChange, bAccepted] : kCases) {
    SCOPED_TRACE(pszChange);
    CTDataObject list;
    const TData* pFirst = list.Add(Frame());
    TData other = Frame();
    pfnChange(other);
    EXPECT_EQ(list.Contains(other), !bAccepted);
    const TData* pAdded = list.Add(other);
    EXPECT_EQ(pAdded, bAccepted ? &list.At(1) : nullptr);
    list.Remove(&other);  // equal, perhaps, but not held: left alone
    if (!bAccepted) continue;
    list.Remove(pFirst);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(&list.At(0), pAdded);
    EXPECT_EQ(pAdded->pOwner, &list);
  }
}

// Loaded files may hold any length and flag; a stored flag of 2 still means data. The data
// bytes go most significant first.
TEST(TData, SendNeverTakesMoreThanEightBytes) {
  for (const auto& [bDataFrame, byLength, bySent] :
       std::initializer_list<std::tuple<uint32_t, uint8_t, uint8_t>>{{1, 0, 0}, {1, 8, 8}, {1, 9, 8}, {0, 5, 0}, {2, 200, 8}})
    EXPECT_EQ(SendLength({.bDataFrame = bDataFrame, .byLength = byLength}), bySent) << bDataFrame << "/" << int{byLength};
  EXPECT_EQ(DataBytesOf({.dwBytes0to3 = 0x11223344, .dwBytes4to7 = 0x55667788}),
            (std::array<uint8_t, 8>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
}

TEST(TransmitFile, GoldenFilesEncodeAndLoad) {
  for (const std::size_t nRecords : {0, 1}) {
    const std::string path = DataFile(nRecords ? "one_record.ctd" : "empty.ctd");
    const CTDataObject list(std::vector(nRecords, Frame()));
    EXPECT_EQ(EncodeTransmitFile(list), FileBytes(path));
    std::unique_ptr<CTDataObject> pLoaded;
    ASSERT_TRUE(ReadTransmitFile(path, pLoaded).m_bOk);
    ASSERT_EQ(pLoaded->Count(), nRecords);
    EXPECT_TRUE(!nRecords || (SameStored(pLoaded->At(0), Frame()) && pLoaded->At(0).pOwner == pLoaded.get()));
  }
}

// Large lists are built here rather than committed: the count and the last record are
// checked byte for byte, the rest by reading the file back. Records load as stored, odd
// fields and equal records too, and the loaded list still refuses a duplicate.
TEST(TransmitFile, CountFormsAroundTheEscapeValueAndRecordsLoadAsStored) {
  const TData odd{.bStandardID = 7, .bDataFrame = 2, .byLength = 200, .dwID = 0x123};
  ScratchDir dir;
  const std::string path = dir / "big.ctd";
  for (const auto& [dwCount, countBytes] :
       std::initializer_list<std::pair<uint32_t, Bytes>>{{65534, {0xFE, 0xFF}}, {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}}}) {
    std::vector<TData> records(dwCount);
    for (uint32_t i = 0; i < dwCount; ++i)  // 2.0B, 8 bytes, not edited in hex
      records[i] = {.bStandardID = 0, .bHexFormat = 0, .byLength = 8, .dwID = i, .dwBytes4to7 = ~i};
    records[0] = records[1] = odd;
    const CTDataObject list(records);
    ASSERT_TRUE(WriteTransmitFile(path, list).m_bOk);
    const Bytes bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 15 + countBytes.size() + std::size_t{dwCount} * TDATA_RECORD_SIZE);
    EXPECT_TRUE(std::equal(countBytes.begin(), countBytes.end(), bytes.begin() + 15));
    const uint8_t byLast = static_cast<uint8_t>(dwCount - 1);  // 0xFD or 0xFE
    const Bytes lastRecord = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 8, byLast, 0xFF, 0, 0,
                              0, 0, 0, 0, static_cast<uint8_t>(~byLast), 0x00, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(lastRecord.begin(), lastRecord.end(), bytes.end() - 25));
    std::unique_ptr<CTDataObject> pLoaded;
    ASSERT_TRUE(ReadTransmitFile(path, pLoaded).m_bOk);
    ASSERT_EQ(pLoaded->Count(), list.Count());
    for (std::size_t i = 0; i < list.Count(); ++i) EXPECT_TRUE(SameStored(pLoaded->At(i), list.At(i)));
    EXPECT_EQ(pLoaded->Add(odd), nullptr);
  }
}

TEST(TransmitFile, ArchiveFormsOfTheHeaderThatAreStillValid) {
  auto file = [](const Bytes& nameLength, const Bytes& count, std::size_t nRecords) {
    Bytes bytes = {0x2A, 0x3F, 0x00, 0x00};
    const std::string name = "TDataArray";
    for (const Bytes& part : {nameLength, Bytes(name.begin(), name.end()), count}) bytes.insert(bytes.end(), part.begin(), part.end());
    bytes.resize(bytes.size() + nRecords * TDATA_RECORD_SIZE, 0);
    return bytes;
  };
  const std::tuple<const char*, Bytes, ETransmitFileError, std::size_t> kCases[] = {
      {"16-bit name length", file({0xFF, 0x0A, 0x00}, {1, 0}, 1), ETransmitFileError::NONE, 1},
      {"32-bit form of a small count", file({0x0A}, {0xFF, 0xFF, 2, 0, 0, 0}, 2), ETransmitFileError::NONE, 2},
      {"bytes after the last record", file({0x0A}, {1, 0}, 2), ETransmitFileError::NONE, 1},
      {"wide-string name", file({0xFF, 0xFE, 0xFF, 0x0A}, {0, 0}, 0), ETransmitFileError::BAD_NAME, 0},
  };
  for (const auto& [pszWhat, bytes, eError, nRecords] : kCases) {
    const CTransmitFileParse parse = ParseTransmitFile(bytes);
    EXPECT_EQ(std::pair(parse.m_eError, parse.m_records.size()), std::pair(eError, nRecords)) << pszWhat;
  }
  const Bytes golden = FileBytes(DataFile("one_record.ctd"));
  for (std::size_t n = 0; n < golden.size(); ++n) {  // every cut of a valid file fails
    const CTransmitFileParse parse = ParseTransmitFile(std::span<const uint8_t>(golden.data(), n));
    EXPECT_TRUE(parse.m_eError != ETransmitFileError::NONE && parse.m_records.empty()) << n;
  }
}

TEST(TransmitFile, HostileFilesFailAndLeaveTheListAsItWas) {
  ScratchDir dir;
  const std::string fifo = dir / "fifo.ctd";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not block waiting for a writer
  const std::pair<std::string, const char*> kCases[] = {
      {DataFile("wrong_signature.ctd"), "wrong signature"}, {DataFile("name_case.ctd"), "wrong list name"},
      {DataFile("cut_in_record.ctd"), "fewer records"}, {DataFile("huge_count.ctd"), "fewer records"},
      {dir.Write("header_cut.ctd", std::string("\x2A\x3F\x00\x00\x0AT", 6)), "ends before"},
      {dir / "missing.ctd", "No such file"}, {dir.Path(), "not a regular file"}, {fifo, "not a regular file"},
  };
  for (const auto& [path, pszCause] : kCases) {
    SCOPED_TRACE(path);
    auto pList = std::make_unique<CTDataObject>();
    pList->Add(Frame());
    CTDataObject* pBefore = pList.get();
    EXPECT_TRUE(FailedSaying(ReadTransmitFile(path, pList), path, pszCause));
    ASSERT_TRUE(pList.get() == pBefore && pList->Count() == 1u);
    EXPECT_TRUE(SameStored(pList->At(0), Frame()));
  }
}

// Accepts nWriteLimit bytes, then fails the way a full disk does; or fails a later step.
class CFailingCalls : public CFileCalls {
public:
  enum class EStep { WRITE, SYNC, RENAME };
  CFailingCalls(EStep eStep, std::size_t nWriteLimit) : m_eStep(eStep), m_nLeft(nWriteLimit) {}

  ssize_t Write(int fd, const void* pData, std::size_t nSize) override {
    if (m_eStep != EStep::WRITE) return CFileCalls::Write(fd, pData, nSize);
    if (m_nLeft == 0) return Fail(ENOSPC);
    const ssize_t n = CFileCalls::Write(fd, pData, std::min(nSize, m_nLeft));
    if (n > 0) m_nLeft -= static_cast<std::size_t>(n);
    return n;
  }
  int Sync(int fd) override { return m_eStep == EStep::SYNC ? Fail(EIO) : CFileCalls::Sync(fd); }
  int Rename(const char* pszFrom, const char* pszTo) override {
    return m_eStep == EStep::RENAME ? Fail(EXDEV) : CFileCalls::Rename(pszFrom, pszTo);
  }

private:
  static int Fail(int nError) { return errno = nError, -1; }
  EStep m_eStep;
  std::size_t m_nLeft;
};

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

TEST(TransmitFile, FailedSaveLeavesThePreviousFileAndNoTemporary) {
  using EStep = CFailingCalls::EStep;
  const std::tuple<EStep, std::size_t, const char*> kCases[] = {
      {EStep::WRITE, 0, "No space left"}, {EStep::WRITE, 30, "No space left"}, {EStep::WRITE, 41, "No space left"},
      {EStep::SYNC, 0, "Input/output error"}, {EStep::RENAME, 0, "Invalid cross-device link"}};
  const TData records[] = {Frame(), Frame(0x7FF)};
  const CTDataObject list(records);
  const Bytes previous = FileBytes(DataFile("one_record.ctd"));
  for (const auto& [eStep, nWriteLimit, pszCause] : kCases) {
    ScratchDir dir;
    const std::string path = dir.Write("frames.ctd", std::string(previous.begin(), previous.end()));
    CFailingCalls calls(eStep, nWriteLimit);
    const CFileResult result = WriteTransmitFile(path, list, calls);
    EXPECT_TRUE(FailedSaying(result, path, pszCause)) << result.m_strMessage;
    EXPECT_EQ(FileBytes(path), previous);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"frames.ctd"});
  }
}

TEST(TransmitFile, SaveReplacesTheFileKeepingItsModeAndLinks) {
  ScratchDir dir;
  const std::string target = dir.Write("real/frames.ctd", std::string(100, '\xAA'));
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  dir.Link("real/frames.ctd", "link.ctd");
  const CTDataObject list(std::vector{Frame()});
  const CFileResult result = WriteTransmitFile(dir / "link.ctd", list);
  ASSERT_TRUE(result.m_bOk) << result.m_strMessage;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ctd"));
  EXPECT_EQ(FileBytes(target), FileBytes(DataFile("one_record.ctd")));
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(Entries(dir / "real"), std::vector<std::string>{"frames.ctd"});
  const std::string missing = dir / "no/such/dir.ctd";  // the temporary cannot be made
  EXPECT_TRUE(FailedSaying(WriteTransmitFile(missing, list), missing, "No such file"));
}

}  // namespace
