#pragma once
// A stdio stream into memory, for code that writes to a FILE*.
#include <cstdio>
#include <cstdlib>
#include <string>

struct CMemoryFile {
  ~CMemoryFile() { std::fclose(m_pFile), std::free(m_pszText); }
  std::FILE* File() const { return m_pFile; }
  std::string Text() { return std::fflush(m_pFile), std::string(m_pszText, m_nSize); }
  char* m_pszText = nullptr;
  std::size_t m_nSize = 0;
  std::FILE* m_pFile = open_memstream(&m_pszText, &m_nSize);
};
