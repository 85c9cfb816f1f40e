// Internal to the binding: what a HANDLE points at.
//
// Every object handed out is kept in one table; a handle is valid exactly while
// its object is in the table, so a stale, NULL or made-up handle is refused
// with EBADF instead of being dereferenced.
#pragma once

#include <memory>

#include "kernel/WinTypes.h"

class CKernelObject {
public:
    virtual ~CKernelObject();
    // Releases what the object holds; 0 or an errno value.
    virtual int Close() { return 0; }
};

HANDLE KernelRegisterObject(std::shared_ptr<CKernelObject> object);
std::shared_ptr<CKernelObject> KernelLookupObject(HANDLE h);
// Takes the object out of the table; null when the handle is not valid.
std::shared_ptr<CKernelObject> KernelUnregisterObject(HANDLE h);

template <class T> std::shared_ptr<T> KernelLookup(HANDLE h) {
    return std::dynamic_pointer_cast<T>(KernelLookupObject(h));
}
