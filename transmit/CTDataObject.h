#pragma once
// The transmit list: its records in list order, in one compact array (a file may hold a
// million of them), record i being row i of the list view. It remembers whether it changed
// since it was loaded or saved, so that replacing or closing it can offer to save it first.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "transmit/TData.h"

// The most records a list holds: the list view counts its rows in an int.
constexpr uint32_t MAX_LIST_RECORDS = 0x7FFFFFFF;

class CTDataObject {
public:
  CTDataObject() = default;
  // A list as a file stored it: equal records are all kept, pOwner points here, and the list
  // counts as unchanged.
  explicit CTDataObject(std::vector<TData>&& records);
  explicit CTDataObject(std::span<const TData> records);
  CTDataObject(const CTDataObject&) = delete;
  CTDataObject& operator=(const CTDataObject&) = delete;

  bool Contains(const TData& record) const;
  // Appends the record unless an equal one is held; then the list is unchanged and the
  // result false.
  bool Add(const TData& record);
  // The record's values over record nIndex, without the duplicate test.
  void SetAt(std::size_t nIndex, const TData& record);
  void RemoveAt(std::size_t nIndex);
  void RemoveAll();

  std::size_t Count() const { return m_arrTData.size(); }
  const TData& At(std::size_t nIndex) const { return m_arrTData[nIndex]; }

  bool IsModified() const { return m_bModified; }
  void SetSaved() { m_bModified = false; }

private:
  std::vector<TData> m_arrTData;
  bool m_bModified = false;
};
