#include "kernel/KernelPacing.h"

#include <memory>
#include <mutex>

namespace {

std::mutex g_lock;
std::shared_ptr<const std::function<void(const PacingCall&)>> g_spy;

} // namespace

void KernelSetPacingSpy(std::function<void(const PacingCall&)> spy) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (spy)
        g_spy = std::make_shared<const std::function<void(const PacingCall&)>>(std::move(spy));
    else
        g_spy.reset();
}

void KernelReportPacing(const PacingCall& call) {
    std::shared_ptr<const std::function<void(const PacingCall&)>> spy;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        spy = g_spy;
    }
    if (spy)
        (*spy)(call); // outside the lock: the spy may call the binding itself
}
