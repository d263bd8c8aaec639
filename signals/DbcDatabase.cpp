#include "signals/DbcDatabase.h"

const DbcMessage* CDbcDatabase::Find(bool bExtended, uint32_t dwId) const {
  const auto found = m_index.find(dwId | (bExtended ? 0x80000000u : 0u));
  return found == m_index.end() ? nullptr : &m_messages[found->second];
}

const DbcMessage* CDbcDatabase::FindByName(const std::string& name) const {
  for (const DbcMessage& message : m_messages)
    if (message.m_strName == name) return &message;
  return nullptr;
}

std::size_t CDbcDatabase::SignalCount() const {
  std::size_t nCount = 0;
  for (const DbcMessage& message : m_messages) nCount += message.m_signals.size();
  return nCount;
}
