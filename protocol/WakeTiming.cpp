#include "protocol/WakeTiming.h"

#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

namespace {

// The shortest slice the kernel takes for the ordinary class.
constexpr uint64_t SHORT_SLICE_NS = 100'000;

// The kernel's struct sched_attr, first version (its header clashes with <sched.h>).
struct SchedAttr {
  uint32_t m_dwSize;
  uint32_t m_dwPolicy;
  uint64_t m_qwFlags;
  int32_t m_nNice;
  uint32_t m_dwPriority;
  uint64_t m_qwRuntimeNs;
  uint64_t m_qwDeadlineNs;
  uint64_t m_qwPeriodNs;
};
static_assert(sizeof(SchedAttr) == 48);

}  // namespace

EWakeTiming RequestPromptWakeups() {
  sched_param param{};
  param.sched_priority = sched_get_priority_min(SCHED_FIFO);
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return EWakeTiming::REAL_TIME;
  SchedAttr attr{};
  attr.m_dwSize = sizeof attr;
  attr.m_dwPolicy = SCHED_OTHER;
  attr.m_qwRuntimeNs = SHORT_SLICE_NS;
  // Older kernels ignore the slice or refuse the call; the thread then stays as it was.
  if (syscall(SYS_sched_setattr, 0, &attr, 0) == 0) return EWakeTiming::SHORT_SLICE;
  return EWakeTiming::ORDINARY;
}
