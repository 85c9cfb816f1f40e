// Events inside the process and timed waits on the monotonic clock.
//
// An event with a name is shared by every handle created with that name while
// one of them is open, as the program expects of a named event; nothing of it
// lives outside the process.
#include "kernel/EventApi.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <time.h>

#include "kernel/KernelError.h"
#include "kernel/KernelObject.h"
#include "kernel/KernelPacing.h"

namespace {

using Clock = std::chrono::steady_clock;

struct EventState {
    std::mutex lock;
    std::condition_variable signalled;
    bool bSignalled = false;
    bool bManualReset = false;
};

class CEventObject : public CKernelObject {
public:
    explicit CEventObject(std::shared_ptr<EventState> state) : m_state(std::move(state)) {}
    EventState& State() { return *m_state; }
    int Close() override {
        KernelReportPacing(
            {PacingCall::Kind::CloseEvent, static_cast<CKernelObject*>(this), "", FALSE, FALSE, 0});
        return 0;
    }

private:
    std::shared_ptr<EventState> m_state;
};

std::mutex g_namesLock;
std::map<std::string, std::weak_ptr<EventState>> g_names;

std::shared_ptr<EventState> NamedState(const std::string& name, bool& bExisted) {
    std::lock_guard<std::mutex> guard(g_namesLock);
    for (auto it = g_names.begin(); it != g_names.end();)
        it = it->second.expired() ? g_names.erase(it) : std::next(it);
    std::shared_ptr<EventState> state = g_names[name].lock();
    bExisted = state != nullptr;
    if (!state) {
        state = std::make_shared<EventState>();
        g_names[name] = state;
    }
    return state;
}

// Sleeps at least ms milliseconds on the monotonic clock, whatever wakes it early.
void SleepFor(DWORD ms) {
    timespec deadline;
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(ms / 1000);
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) != 0) {
    }
}

DWORD WaitOn(EventState& state, DWORD dwMilliseconds) {
    std::unique_lock<std::mutex> guard(state.lock);
    if (dwMilliseconds == INFINITE) {
        state.signalled.wait(guard, [&] { return state.bSignalled; });
    } else {
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(dwMilliseconds);
        while (!state.bSignalled) {
            if (Clock::now() >= deadline)
                return WAIT_TIMEOUT;
            state.signalled.wait_until(guard, deadline);
        }
    }
    if (!state.bManualReset)
        state.bSignalled = false;
    return WAIT_OBJECT_0;
}

} // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES /*lpEventAttributes*/, BOOL bManualReset,
                    BOOL bInitialState, LPCSTR lpName) {
    bool bExisted = false;
    std::shared_ptr<EventState> state =
        lpName && *lpName ? NamedState(lpName, bExisted) : std::make_shared<EventState>();
    if (!bExisted) {
        state->bManualReset = bManualReset != FALSE;
        state->bSignalled = bInitialState != FALSE;
    }
    HANDLE h = KernelRegisterObject(std::make_shared<CEventObject>(state));
    KernelReportPacing(
        {PacingCall::Kind::CreateEvent, h, lpName ? lpName : "", bManualReset, bInitialState, 0});
    KernelFail(bExisted ? EEXIST : ERROR_SUCCESS); // as the program's platform reports it
    return h;
}

BOOL SetEvent(HANDLE hEvent) {
    std::shared_ptr<CEventObject> event = KernelLookup<CEventObject>(hEvent);
    if (!event) {
        KernelFail(EBADF);
        return FALSE;
    }
    EventState& state = event->State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.bSignalled = true;
    }
    if (state.bManualReset)
        state.signalled.notify_all();
    else
        state.signalled.notify_one();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    KernelReportPacing({PacingCall::Kind::Wait, hHandle, "", FALSE, FALSE, dwMilliseconds});
    std::shared_ptr<CEventObject> event = KernelLookup<CEventObject>(hHandle);
    if (event)
        return WaitOn(event->State(), dwMilliseconds);
    // No object to wait on: the time still passes, so that pacing is never cut short.
    if (dwMilliseconds != INFINITE)
        SleepFor(dwMilliseconds);
    KernelFail(EBADF);
    return WAIT_FAILED;
}
