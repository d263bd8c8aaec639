#pragma once
// The transmit list: owns its records in list order. Record addresses stay fixed while the
// record is held, so the list view may keep pointers to them as row data.
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "transmit/TData.h"

class CTDataObject {
public:
  CTDataObject() = default;
  // A list as a file stored it: equal records are all kept, pOwner points here.
  explicit CTDataObject(std::span<const TData> records);
  CTDataObject(const CTDataObject&) = delete;
  CTDataObject& operator=(const CTDataObject&) = delete;

  bool Contains(const TData& record) const;
  // Appends a copy owned by this list, unless an equal record is already held: then the
  // list is unchanged and the result is null.
  TData* Add(const TData& record);
  // Frees the record that is this very object; any other pointer is ignored.
  void Remove(const TData* pRecord);
  void RemoveAll();

  std::size_t Count() const { return m_arrTData.size(); }
  TData& At(std::size_t nIndex) { return *m_arrTData[nIndex]; }
  const TData& At(std::size_t nIndex) const { return *m_arrTData[nIndex]; }

private:
  TData* Append(const TData& record);

  std::vector<std::unique_ptr<TData>> m_arrTData;
};
