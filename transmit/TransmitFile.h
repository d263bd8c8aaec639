#pragma once
// Opening and saving transmit files. Results carry the cause in Korean, naming the file;
// nothing here throws.
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

class CTDataObject;

struct CFileResult {
  bool m_bOk = false;
  bool m_bOutOfMemory = false;  // the list could not be held; m_strMessage says so too
  std::string m_strMessage;     // the cause, naming the file; empty on success
};

// The calls a save makes that tests make fail part-way.
class CFileCalls {
public:
  virtual ~CFileCalls() = default;
  virtual ssize_t Write(int fd, const void* pData, std::size_t nSize);
  virtual int Sync(int fd);
  virtual int Rename(const char* pszFrom, const char* pszTo);
  // A new file without a name in the directory, or -1 with errno (EOPNOTSUPP where the file
  // system has no such files).
  virtual int OpenUnnamed(const char* pszDirectory, mode_t mode);
};

// The header is checked against the file's size before any record is read, and the records
// are read as a stream. On success pTData holds the loaded list and the previous one is
// destroyed; on failure pTData is untouched and nothing read survives.
CFileResult ReadTransmitFile(const std::string& path, std::unique_ptr<CTDataObject>& pTData);

// Saves over a regular file, or a symbolic link to one, or as a new file; anything else
// (a directory, a FIFO, a device, a dangling or looping link) is refused untouched. Where the
// folder allows, the list goes to a new file that replaces the old one in one step, keeping
// its mode and owner, so a failure or a crash leaves the old file as it was and nothing
// beside it. A file with several links, one whose owner a new file could not keep, or one
// in a folder the user may not write is written in place, after room for it was reserved.
CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list, CFileCalls& calls);
CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list);
