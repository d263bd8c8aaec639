// The transmit list and its file: rules, row texts, golden and hostile files, count forms, big files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "TransmitTestFiles.h"
#include "support/AddressSpaceLimit.h"
#include "transmit/TransmitRowTexts.h"

namespace {

// Every frame field but format and period makes a record new; every change, and only a change, marks it modified.
TEST(CTDataObject, DuplicateRuleOrderAndWhatCountsAsAChange) {
  const std::tuple<const char*, void (*)(TData&), bool> kCases[] = {
      {"nothing", [](TData&) {}, false}, {"bHexFormat", [](TData& r) { r.bHexFormat = 0; }, false},
      {"wPeriodMs", [](TData& r) { r.wPeriodMs = 10; }, false},
      {"bStandardID", [](TData& r) { r.bStandardID = 0; }, true}, {"bDataFrame", [](TData& r) { r.bDataFrame = 0; }, true},
      {"byLength", [](TData& r) { r.byLength = 3; }, true}, {"dwID", [](TData& r) { r.dwID = 0x124; }, true},
      {"dwBytes0to3", [](TData& r) { r.dwBytes0to3 ^= 1; }, true},
      {"dwBytes4to7", [](TData& r) { r.dwBytes4to7 = 0x80000000; }, true}};
  for (const auto& [pszChange, pfnChange, bAccepted] : kCases) {
    SCOPED_TRACE(pszChange);
    CTDataObject list(std::vector{Frame()});
    EXPECT_FALSE(list.IsModified());
    TData other = Frame();
    pfnChange(other);
    EXPECT_EQ(list.Contains(other), !bAccepted);
    EXPECT_EQ(list.Add(other), bAccepted);
    EXPECT_EQ(list.IsModified(), bAccepted);
    list.SetSaved();
    list.SetAt(0, Frame());  // the same values: no change
    EXPECT_FALSE(list.IsModified());
    list.SetAt(0, other);    // a change, though perhaps only of the editing format
    EXPECT_EQ(list.IsModified(), std::string_view(pszChange) != "nothing");
    if (!bAccepted) continue;
    list.SetSaved();
    list.RemoveAt(0);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_TRUE(SameStored(list.At(0), other) && list.At(0).pOwner == &list && list.IsModified());
  }
  CTDataObject empty;
  empty.RemoveAll();
  EXPECT_FALSE(empty.IsModified());
  CTDataObject list(std::vector{Frame(), Frame()});  // equal records, as a file may hold them
  list.RemoveAll();
  EXPECT_TRUE(list.Count() == 0 && list.IsModified());
}

// Loaded files may hold any length and flag (2 still means data); data bytes go most significant first.
TEST(TData, SendNeverTakesMoreThanEightBytes) {
  for (const auto& [bDataFrame, byLength, bySent] :
       std::initializer_list<std::tuple<uint32_t, uint8_t, uint8_t>>{{1, 0, 0}, {1, 8, 8}, {1, 9, 8}, {0, 5, 0}, {2, 200, 8}})
    EXPECT_EQ(SendLength({.bDataFrame = bDataFrame, .byLength = byLength}), bySent) << bDataFrame << "/" << int{byLength};
  EXPECT_EQ(DataBytesOf({.dwBytes0to3 = 0x11223344, .dwBytes4to7 = 0x55667788}),
            (std::array<uint8_t, 8>{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}));
}

TEST(TransmitRowTexts, EachColumnOfARecord) {
  const std::pair<TData, std::array<const char*, TRANSMIT_COLUMN_COUNT>> kCases[] = {
      {Frame(0x7FF), {"CAN2.0A", "Data Frame", "07 FF", "2", "11 22", ""}},
      {{.bStandardID = 0, .byLength = 5, .wPeriodMs = 60000, .dwID = 0x1FFFFFFF, .dwBytes0to3 = 0x01020304, .dwBytes4to7 = 0x05000000},
       {"CAN2.0B", "Data Frame", "1F FF FF FF", "5", "01 02 03 04 05", "60000"}},
      {{.bStandardID = 0, .bDataFrame = 0, .dwID = 0x1ABCDEF0}, {"CAN2.0B", "Remote Frame", "1A BC DE F0", "0", "", ""}},
      // As a hostile file may hold it: flags above 1, length 200, every identifier bit.
      {{.bStandardID = 7, .bDataFrame = 2, .byLength = 200, .dwID = 0xFFFFFFFF, .dwBytes0to3 = ~0u},
       {"CAN2.0A", "Data Frame", "07 FF", "200", "", ""}},
  };
  for (const auto& [record, texts] : kCases)
    for (int nColumn = 0; nColumn < TRANSMIT_COLUMN_COUNT; ++nColumn)
      EXPECT_EQ(TransmitColumnText(record, nColumn), texts[static_cast<size_t>(nColumn)]) << texts[2] << " " << nColumn;
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

// Periods go in a block after the records; other bytes there are ignored, a damaged block refuses the file.
TEST(TransmitFile, PeriodBlockGoldenFileAndDamagedBlocks) {
  const std::string path = DataFile("periods.ctd");
  TData first = Frame();
  first.wPeriodMs = 100;
  const TData second{.bStandardID = 0, .bDataFrame = 0, .dwID = 0x1ABCDEF0};
  const CTDataObject list(std::vector{first, second});
  const Bytes golden = FileBytes(path);
  EXPECT_EQ(EncodeTransmitFile(list), golden);
  std::unique_ptr<CTDataObject> pLoaded;
  ASSERT_TRUE(ReadTransmitFile(path, pLoaded).m_bOk);
  EXPECT_TRUE(pLoaded->Count() == 2 && SameStored(pLoaded->At(0), first) && pLoaded->At(0).wPeriodMs == 100 &&
              pLoaded->At(1).wPeriodMs == 0);
  ScratchDir dir;  // saved over a longer file with a second name: written in place and cut to size
  const std::string saved = dir.Write("saved.ctd", std::string(200, 'x'));
  ASSERT_EQ(::link(saved.c_str(), (dir / "second.ctd").c_str()), 0);
  ASSERT_TRUE(WriteTransmitFile(saved, list).m_bOk);
  EXPECT_EQ(FileBytes(saved), golden);

  const std::size_t nBlock = golden.size() - 14;  // the block of two periods is 14 bytes
  auto changed = [&](std::size_t nAt, uint8_t byValue) {
    Bytes bytes = golden;
    bytes[nBlock + nAt] = byValue;
    return bytes;
  };
  auto appended = [&](const std::string& tail) {
    Bytes bytes(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(nBlock));
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  const std::tuple<const char*, Bytes, ETransmitFileError, uint16_t> kCases[] = {
      {"other bytes after the records", appended("KXP\0junk"), ETransmitFileError::NONE, 0},
      {"bytes after a whole block", [&] { Bytes b = golden; b.push_back(0xAA); return b; }(), ETransmitFileError::NONE, 100},
      {"signature only", appended("KXPD"), ETransmitFileError::BAD_PERIOD_BLOCK, 0},
      {"cut in the periods", Bytes(golden.begin(), golden.end() - 1), ETransmitFileError::BAD_PERIOD_BLOCK, 0},
      {"another version", changed(4, 2), ETransmitFileError::BAD_PERIOD_BLOCK, 0},
      {"another count", changed(6, 3), ETransmitFileError::BAD_PERIOD_BLOCK, 0},
      {"period above 60000", changed(11, 0xEB), ETransmitFileError::BAD_PERIOD_BLOCK, 0},  // 0xEB64 = 60260
  };
  for (const auto& [pszWhat, bytes, eError, wFirstPeriod] : kCases) {
    SCOPED_TRACE(pszWhat);
    const bool bRead = eError == ETransmitFileError::NONE;
    const CTransmitFileParse parse = ParseTransmitFile(bytes);
    EXPECT_EQ(std::tuple(parse.m_eError, parse.m_records.size()), std::tuple(eError, bRead ? 2u : 0u));
    EXPECT_TRUE(parse.m_records.empty() || parse.m_records[0].wPeriodMs == wFirstPeriod);
    const std::string file = dir.Write("case.ctd", std::string(bytes.begin(), bytes.end()));
    auto pList = std::make_unique<CTDataObject>();
    const CFileResult result = ReadTransmitFile(file, pList);
    EXPECT_TRUE(bRead ? result.m_bOk && pList->Count() == 2 && pList->At(0).wPeriodMs == wFirstPeriod
                      : FailedSaying(result, file, "주기 블록") && pList->Count() == 0) << result.m_strMessage;
  }
}

// Built here, not committed: count and last record byte for byte, the rest read back; records load as stored.
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
    const CTDataObject list(std::move(records));
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
    EXPECT_FALSE(pLoaded->Add(odd));
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
      {"32-bit name length", file({0xFF, 0xFF, 0xFF, 0x0A, 0, 0, 0}, {0xFF, 0xFF, 1, 0, 0, 0}, 1), ETransmitFileError::NONE, 1},
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

// The cause names the file and is worded in Korean.
TEST(TransmitFile, HostileFilesFailAndLeaveTheListAsItWas) {
  ScratchDir dir;
  const std::string fifo = dir / "fifo.ctd";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not block waiting for a writer
  const std::pair<std::string, const char*> kCases[] = {
      {DataFile("wrong_signature.ctd"), "서명"}, {DataFile("name_case.ctd"), "목록 이름"},
      {DataFile("cut_in_record.ctd"), "개수보다"}, {DataFile("huge_count.ctd"), "개수보다"},
      {dir.Write("header_cut.ctd", std::string("\x2A\x3F\x00\x00\x0AT", 6)), "끝납니다"},
      {dir / "missing.ctd", "없읍니다"}, {dir.Path(), "일반 파일이 아닙니다"}, {fifo, "일반 파일이 아닙니다"},
  };
  for (const auto& [path, pszCause] : kCases) {
    auto pList = std::make_unique<CTDataObject>(std::vector{Frame()});
    CTDataObject* pBefore = pList.get();
    const CFileResult result = ReadTransmitFile(path, pList);
    EXPECT_TRUE(FailedSaying(result, path, pszCause)) << result.m_strMessage;
    EXPECT_TRUE(pList.get() == pBefore && pList->Count() == 1u && SameStored(pList->At(0), Frame())) << path;
  }
}

// Sparse files far larger than the address space allowed: the header decides and only counted records are read.
TEST(TransmitFile, BigFilesAreJudgedByTheirHeaderAndReadAsAStream) {
  if (KORVEX_SANITIZED) GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
  constexpr off_t GB = off_t{1} << 30;
  ScratchDir dir;
  auto sparse = [&dir](const char* pszName, const Bytes& header, off_t size) {
    const std::string path = dir.Write(pszName, std::string(header.begin(), header.end()));
    EXPECT_EQ(::truncate(path.c_str(), size), 0);
    return path;
  };
  const Bytes golden = FileBytes(DataFile("one_record.ctd"));
  Bytes manyRecords(golden.begin(), golden.begin() + 15);
  manyRecords.insert(manyRecords.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});  // 2,147,483,647 records
  const std::string wrongSignature = sparse("wrong.ctd", {0x2A, 0x3F, 0x00, 0x01}, 8 * GB);
  const std::string fewRecords = sparse("few.ctd", golden, 8 * GB);
  const std::string tooMany = sparse("many.ctd", manyRecords, 21 + off_t{0x7FFFFFFF} * 25);

  auto pList = std::make_unique<CTDataObject>();
  CFileResult wrong, few, many;
  std::size_t nFew = 0;
  {
    const CAddressSpaceLimit limit(rlim_t{512} << 20);
    ASSERT_TRUE(limit.IsSet());
    wrong = ReadTransmitFile(wrongSignature, pList);
    few = ReadTransmitFile(fewRecords, pList);
    nFew = pList->Count();
    many = ReadTransmitFile(tooMany, pList);
  }
  EXPECT_TRUE(FailedSaying(wrong, wrongSignature, "서명")) << wrong.m_strMessage;
  EXPECT_TRUE(few.m_bOk && nFew == 1) << few.m_strMessage;
  EXPECT_TRUE(!many.m_bOk && many.m_bOutOfMemory && many.m_strMessage == "Out of Memory!") << many.m_strMessage;
  EXPECT_EQ(pList->Count(), 1u);
}

}  // namespace
