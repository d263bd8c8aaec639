#include "transmit/CTDataObject.h"

#include <algorithm>

CTDataObject::CTDataObject(std::span<const TData> records) {
  m_arrTData.reserve(records.size());
  for (const TData& record : records) Append(record);
}

TData* CTDataObject::Append(const TData& record) {
  m_arrTData.push_back(std::make_unique<TData>(record));
  m_arrTData.back()->pOwner = this;
  return m_arrTData.back().get();
}

bool CTDataObject::Contains(const TData& record) const {
  return std::any_of(m_arrTData.begin(), m_arrTData.end(),
                     [&](const auto& pHeld) { return IsSameFrame(*pHeld, record); });
}

TData* CTDataObject::Add(const TData& record) {
  return Contains(record) ? nullptr : Append(record);
}

void CTDataObject::Remove(const TData* pRecord) {
  const auto it = std::find_if(m_arrTData.begin(), m_arrTData.end(),
                               [&](const auto& pHeld) { return pHeld.get() == pRecord; });
  if (it != m_arrTData.end()) m_arrTData.erase(it);
}

void CTDataObject::RemoveAll() {
  m_arrTData.clear();
  m_arrTData.shrink_to_fit();
}
