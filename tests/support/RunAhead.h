// Shared by the line-timing tests of the kernel binding and of the device jobs.
#pragma once

#include <pthread.h>

// Where allowed (root, as in CI), the writing thread runs ahead of the machine's
// other work for the length of a test, so that the gaps measure the drain and not
// the load; elsewhere it keeps its priority and the allowance for long gaps stands.
class RunAhead {
public:
    RunAhead() {
        sched_param sp{};
        sp.sched_priority = 5;
        m_bRaised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp) == 0;
    }
    ~RunAhead() {
        sched_param sp{};
        if (m_bRaised)
            pthread_setschedparam(pthread_self(), SCHED_OTHER, &sp);
    }
    RunAhead(const RunAhead&) = delete;
    RunAhead& operator=(const RunAhead&) = delete;

private:
    bool m_bRaised = false;
};
