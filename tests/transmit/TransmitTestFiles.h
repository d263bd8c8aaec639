#pragma once
// What the transmit file tests share: the committed files, one frame, and the checks of a result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"
#include "transmit/TransmitFileFormat.h"

using Bytes = std::vector<uint8_t>;

inline std::string DataFile(const std::string& name) { return std::string(KORVEX_TRANSMIT_DATA) + "/" + name; }

inline Bytes FileBytes(const std::string& path) {
  return Bytes(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

inline std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A failure naming the file and giving the cause in Korean: only the path is in Latin letters.
inline bool FailedSaying(const CFileResult& result, const std::string& path, const char* pszCause) {
  std::string rest = result.m_strMessage;
  if (const auto nAt = rest.find(path); nAt != std::string::npos) rest.erase(nAt, path.size());
  else return false;
  return !result.m_bOk && rest.find(pszCause) != std::string::npos &&
         std::none_of(rest.begin(), rest.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
}

// With 0x123, the record of one_record.ctd: CAN 2.0A data frame, Hex, length 2, bytes 11 22.
inline TData Frame(uint32_t dwID = 0x123) { return {.byLength = 2, .dwID = dwID, .dwBytes0to3 = 0x11220000}; }

inline bool SameStored(const TData& a, const TData& b) { return IsSameFrame(a, b) && a.bHexFormat == b.bHexFormat; }
