// Internal to the binding: a settings record (DCB) to and from termios.
#pragma once

#include "kernel/CommApi.h"

struct termios;

// Fills every field of dcb from t.
void KernelTermiosToDcb(const termios& t, DCB& dcb);

// Applies to t the fields in which wanted differs from current (current being
// what KernelTermiosToDcb gave for t); all else in t stays. 0, or EINVAL for a
// value termios cannot hold (then t is unchanged).
int KernelApplyDcb(const DCB& current, const DCB& wanted, termios& t);
