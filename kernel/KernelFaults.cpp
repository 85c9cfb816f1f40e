#include "kernel/KernelFaults.h"

#include <mutex>
#include <vector>

#include "kernel/KernelError.h"

namespace {

struct PendingFault {
    KernelFault op;
    DWORD dwError;
    int nCallsLeft;
};

std::mutex g_lock;
std::vector<PendingFault> g_faults;

} // namespace

void KernelInjectFault(KernelFault op, DWORD dwError, int nCall) {
    if (nCall < 1)
        nCall = 1;
    std::lock_guard<std::mutex> guard(g_lock);
    g_faults.push_back({op, dwError, nCall});
}

void KernelClearFaults() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_faults.clear();
}

bool KernelFaultFires(KernelFault op) {
    bool fires = false;
    DWORD dwError = 0;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        for (auto it = g_faults.begin(); it != g_faults.end();) {
            if (it->op == op && --it->nCallsLeft == 0) {
                if (!fires)
                    dwError = it->dwError;
                fires = true;
                it = g_faults.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (fires)
        KernelFail(dwError);
    return fires;
}
