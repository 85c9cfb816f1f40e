#include "kernel/KernelObject.h"

#include <map>
#include <mutex>

namespace {

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

std::map<HANDLE, std::shared_ptr<CKernelObject>>& Table() {
    static std::map<HANDLE, std::shared_ptr<CKernelObject>> table;
    return table;
}

} // namespace

CKernelObject::~CKernelObject() = default;

HANDLE KernelRegisterObject(std::shared_ptr<CKernelObject> object) {
    HANDLE h = object.get(); // never NULL, never INVALID_HANDLE_VALUE
    std::lock_guard<std::mutex> guard(TableLock());
    Table()[h] = std::move(object);
    return h;
}

std::shared_ptr<CKernelObject> KernelLookupObject(HANDLE h) {
    std::lock_guard<std::mutex> guard(TableLock());
    auto it = Table().find(h);
    return it == Table().end() ? nullptr : it->second;
}

std::shared_ptr<CKernelObject> KernelUnregisterObject(HANDLE h) {
    std::lock_guard<std::mutex> guard(TableLock());
    auto it = Table().find(h);
    if (it == Table().end())
        return nullptr;
    std::shared_ptr<CKernelObject> object = std::move(it->second);
    Table().erase(it);
    return object;
}
