#include <gtest/gtest.h>

#include "transmit/CTDataObject.h"

namespace {

TData Frame(uint32_t dwID) {
  TData record;
  record.byLength = 2;
  record.dwID = dwID;
  record.dwBytes0to3 = 0x11220000;
  return record;
}

TEST(CTDataObject, DuplicateRuleComparesEveryFrameFieldButTheEditingFormat) {
  struct Case {
    const char* pszChange;
    void (*pfnChange)(TData&);
    bool bAccepted;
  };
  const Case cases[] = {
      {"nothing", [](TData&) {}, false},
      {"bHexFormat", [](TData& r) { r.bHexFormat = 0; }, false},
      {"bStandardID", [](TData& r) { r.bStandardID = 0; }, true},
      {"bDataFrame", [](TData& r) { r.bDataFrame = 0; }, true},
      {"byLength", [](TData& r) { r.byLength = 3; }, true},
      {"dwID", [](TData& r) { r.dwID = 0x124; }, true},
      {"dwBytes0to3", [](TData& r) { r.dwBytes0to3 ^= 1; }, true},
      {"dwBytes4to7", [](TData& r) { r.dwBytes4to7 = 0x80000000; }, true},
  };
  for (const Case& c : cases) {
    CTDataObject list;
    ASSERT_NE(list.Add(Frame(0x123)), nullptr);
    TData other = Frame(0x123);
    c.pfnChange(other);
    EXPECT_EQ(list.Contains(other), !c.bAccepted) << c.pszChange;
    const TData* pAdded = list.Add(other);
    EXPECT_EQ(pAdded != nullptr, c.bAccepted) << c.pszChange;
    EXPECT_EQ(list.Count(), c.bAccepted ? 2u : 1u) << c.pszChange;
    if (pAdded) {
      EXPECT_EQ(pAdded, &list.At(1)) << c.pszChange;
    }
  }
}

TEST(CTDataObject, AddOwnsACopyAndRemoveGoesByIdentity) {
  CTDataObject list;
  TData* pFirst = list.Add(Frame(1));
  TData* pSecond = list.Add(Frame(2));
  TData* pThird = list.Add(Frame(3));
  ASSERT_TRUE(pFirst && pSecond && pThird);
  EXPECT_EQ(pSecond->pOwner, &list);

  const TData equalCopy = *pSecond;
  list.Remove(&equalCopy);  // equal but not held: left alone
  EXPECT_EQ(list.Count(), 3u);

  list.Remove(pSecond);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(&list.At(0), pFirst);  // the others keep their order and addresses
  EXPECT_EQ(&list.At(1), pThird);

  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_NE(list.Add(Frame(1)), nullptr);  // usable again after clearing
}

TEST(TData, SendNeverTakesMoreThanEightBytes) {
  struct Case {
    uint32_t bDataFrame;
    uint8_t byLength;
    uint8_t bySent;
  };
  // Loaded files may hold any length and flag; a stored flag of 2 still means data.
  const Case cases[] = {{1, 0, 0}, {1, 8, 8}, {1, 9, 8}, {1, 255, 8}, {0, 5, 0}, {2, 200, 8}};
  for (const Case& c : cases) {
    TData record;
    record.bDataFrame = c.bDataFrame;
    record.byLength = c.byLength;
    EXPECT_EQ(SendLength(record), c.bySent) << c.bDataFrame << "/" << int{c.byLength};
  }
}

TEST(TData, DataBytesComeMostSignificantFirst) {
  TData record;
  record.dwBytes0to3 = 0x11223344;
  record.dwBytes4to7 = 0x55667788;
  const std::array<uint8_t, 8> abyExpected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  EXPECT_EQ(DataBytesOf(record), abyExpected);
}

}  // namespace
