#pragma once
// A thread that has to act at a given moment (the sending thread, the simulated module's
// reader) asks the scheduler to run it as soon as it wakes. An ordinary thread woken by its
// timer while every core is busy may wait until the running task's time slice ends, up to a
// scheduler tick (4 ms at 250 Hz): one cyclic frame in ten went out ~4 ms late that way on a
// loaded machine. A low real-time priority runs it at once; where the user may not have one
// (no CAP_SYS_NICE, RLIMIT_RTPRIO 0), a short time slice of the ordinary class lets its
// wake-ups preempt sooner (Linux 6.12 and later). Such a thread only sleeps between short
// writes, so it takes next to no time from the rest of the system.
enum class EWakeTiming { REAL_TIME, SHORT_SLICE, ORDINARY };

// For the calling thread; what it got (kernels before 6.12 take the short slice and ignore it).
EWakeTiming RequestPromptWakeups();
