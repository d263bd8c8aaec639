#pragma once
// Opening and saving transmit files. Results carry a message that names the file; nothing
// here throws.
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

class CTDataObject;

struct CFileResult {
  bool m_bOk = false;
  std::string m_strMessage;  // the cause, naming the file; empty on success
};

// The calls a save makes on its temporary file. Tests override them to fail part-way.
class CFileCalls {
public:
  virtual ~CFileCalls() = default;
  virtual ssize_t Write(int fd, const void* pData, std::size_t nSize);
  virtual int Sync(int fd);
  virtual int Rename(const char* pszFrom, const char* pszTo);
};

// On success pTData holds the loaded list and the previous one is destroyed; on failure
// pTData is untouched and nothing read survives.
CFileResult ReadTransmitFile(const std::string& path, std::unique_ptr<CTDataObject>& pTData);

// Writes a temporary file beside the target, syncs it and renames it over the target, so a
// failed save leaves the previous file as it was (and removes the temporary file).
CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list,
                              CFileCalls& calls);
CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list);
