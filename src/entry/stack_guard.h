// The stack protector's guard and failure function, this module's own (see stack_guard.cpp).
#pragma once
#include <windows.h>

// For a function that runs before the guard is seeded, or seeds it: a check in it would compare
// the guard at its return with the value the guard had when it was entered.
#define NO_STACK_GUARD __attribute__((no_stack_protector))

// The value that every protected frame keeps between its arrays and its return address.
extern "C" UINT_PTR __stack_chk_guard;

// Sets the guard from values that differ at each load. Called first at process attach, before
// any protected function runs.
NO_STACK_GUARD void SeedStackGuard();
