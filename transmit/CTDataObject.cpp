#include "transmit/CTDataObject.h"

#include <algorithm>

CTDataObject::CTDataObject(std::vector<TData>&& records) : m_arrTData(std::move(records)) {
  for (TData& record : m_arrTData) record.pOwner = this;
}

CTDataObject::CTDataObject(std::span<const TData> records)
    : CTDataObject(std::vector<TData>(records.begin(), records.end())) {}

bool CTDataObject::Contains(const TData& record) const {
  return std::any_of(m_arrTData.begin(), m_arrTData.end(),
                     [&](const TData& held) { return IsSameFrame(held, record); });
}

bool CTDataObject::Add(const TData& record) {
  if (Contains(record)) return false;
  m_arrTData.push_back(record);
  m_arrTData.back().pOwner = this;
  m_bModified = true;
  return true;
}

void CTDataObject::SetAt(std::size_t nIndex, const TData& record) {
  TData& held = m_arrTData[nIndex];
  if (IsSameFrame(held, record) && held.bHexFormat == record.bHexFormat && held.wPeriodMs == record.wPeriodMs) return;
  held = record;
  held.pOwner = this;
  m_bModified = true;
}

void CTDataObject::RemoveAt(std::size_t nIndex) {
  m_arrTData.erase(m_arrTData.begin() + static_cast<std::ptrdiff_t>(nIndex));
  m_bModified = true;
}

void CTDataObject::RemoveAll() {
  if (m_arrTData.empty()) return;
  m_arrTData.clear();
  m_arrTData.shrink_to_fit();
  m_bModified = true;
}
