#pragma once
// Lets every running copy of the program know about the others. The list of running instances
// (how many are allowed, how many are registered, their process ids in order of registration)
// lives in a small file in the user's runtime directory and is only touched under flock, so
// copies may start and end at the same time. Such a file outlives a crashed copy, so each time
// the list is read, entries whose process has ended (or whose process id now belongs to a newer
// process) are dropped: a crash never turns later starts into secondary instances.
//
// A process registers at construction and is removed at destruction. The request that brings
// another instance's window forward goes through an InstanceActivator; the Qt layer sends it
// to the local socket that instance listens on (EndpointPath).
#include <cstdint>
#include <string>
#include <vector>

#include "link/CUniqueFd.h"

class InstanceActivator {
public:
  virtual ~InstanceActivator() = default;
  virtual void ActivateInstance(uint32_t dwProcessId) = 0;
};

constexpr uint32_t INSTANCE_LIST_CAPACITY = 1000;

// Layout of the list file: the allowed maximum, the count, the process ids, and the start time
// of each process (clock ticks after boot, from /proc/<pid>/stat; 0 when unknown) that tells a
// reused process id from the process that registered.
struct CInstanceBlock {
  uint32_t m_dwMaxInstances;
  uint32_t m_dwCount;
  uint32_t m_adwProcessIds[INSTANCE_LIST_CAPACITY];
  uint64_t m_aqwStartTimes[INSTANCE_LIST_CAPACITY];
};

struct CInstanceList {
  uint32_t m_dwMaxInstances = 0;
  std::vector<uint32_t> m_processIds;  // in order of registration
};

class CInstanceGuard {
public:
  static constexpr uint32_t MAX_INSTANCES = 1;

  // Registers the current process in the list of the given name. An empty runtimeDir means
  // DefaultRuntimeDir(). A directory that is not private to the user, or a list file that
  // cannot be opened, leaves the guard unusable: every operation then returns false.
  explicit CInstanceGuard(const std::string& name, const std::string& runtimeDir = {});
  ~CInstanceGuard();  // removes the current process
  CInstanceGuard(const CInstanceGuard&) = delete;
  CInstanceGuard& operator=(const CInstanceGuard&) = delete;

  void SetActivator(InstanceActivator* pActivator) { m_pActivator = pActivator; }

  // More instances registered than allowed. With bActivateOther the earliest registered
  // instance is asked to come forward, or the second one when the earliest is this process.
  bool TooManyInstances(bool bActivateOther);
  // Appends the process; false when the list already holds INSTANCE_LIST_CAPACITY entries.
  bool AddProcess(uint32_t dwProcessId);
  // Removes the first entry of the process; false when it is not listed.
  bool RemoveProcess(uint32_t dwProcessId);
  bool ReadList(CInstanceList& list);

  bool IsUsable() const { return m_fd.IsValid(); }
  const std::string& ListPath() const { return m_strListPath; }
  // Where the instance of that process listens for the request to come forward.
  std::string EndpointPath(uint32_t dwProcessId) const;

  // $XDG_RUNTIME_DIR, or /tmp/korvex-<uid> when it is not set.
  static std::string DefaultRuntimeDir();

private:
  template <typename Change>
  bool WithList(Change&& change);
  bool DropEndedProcesses(CInstanceBlock& block) const;

  std::string m_strName;
  std::string m_strRuntimeDir;
  std::string m_strListPath;
  CUniqueFd m_fd;  // the list file
  uint32_t m_dwOwnProcessId = 0;
  InstanceActivator* m_pActivator = nullptr;
};
