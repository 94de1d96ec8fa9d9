// The host binding, looked up in this test executable, which exports all, all but the last,
// or none of the host functions depending on how it was built.
#include <windows.h>

#include "../../src/host/bkapi.h"
#include "../harness/harness.h"

namespace {

int FilledSlots() {
  int filled = 0;
  for (int i = 0; i < BkApi::kSlotCount; ++i) filled += bkapi.Slot(i) != NULL;
  return filled;
}

void AllExported() {
  BOOL bound = bkapi.Bind();
  ok(bound == TRUE, "expected TRUE, got %d", bound);
  HMODULE self = GetModuleHandleA(NULL);
  ok(bkapi.Module() == self, "expected module %p, got %p", static_cast<void*>(self),
     static_cast<void*>(bkapi.Module()));
  for (int i = 0; i < BkApi::kSlotCount; ++i) {
    FARPROC want = GetProcAddress(self, kBkApiNames[i]);
    ok(want != NULL && bkapi.Slot(i) == want, "slot %d (%s): expected %p, got %p", i,
       kBkApiNames[i], reinterpret_cast<void*>(want), reinterpret_cast<void*>(bkapi.Slot(i)));
  }
  bound = bkapi.Bind();
  ok(bound == TRUE, "second Bind: expected TRUE, got %d", bound);
  ok(bkapi.Module() == self, "second Bind changed the module to %p",
     static_cast<void*>(bkapi.Module()));
}

void LastMissing() {
  BOOL bound = bkapi.Bind();
  ok(bound == FALSE, "expected FALSE, got %d", bound);
  ok(bkapi.Module() == NULL, "expected a null module, got %p", static_cast<void*>(bkapi.Module()));
  ok(FilledSlots() == BkApi::kSlotCount - 1, "expected %d slots filled, got %d",
     BkApi::kSlotCount - 1, FilledSlots());
  ok(bkapi.Slot(BkApi::kSlotCount - 1) == NULL, "the last slot is not null");
  ok(bkapi.GetVersion() == NULL, "an unbound binding called the host");
}

void NoneExported() {
  BOOL bound = bkapi.Bind();
  ok(bound == FALSE, "expected FALSE, got %d", bound);
  ok(bkapi.Module() == NULL, "expected a null module, got %p", static_cast<void*>(bkapi.Module()));
  ok(FilledSlots() == 0, "expected no slot filled, got %d", FilledSlots());
}

const TestGroup kGroups[] = {
    {"all", AllExported},
    {"last_missing", LastMissing},
    {"none", NoneExported},
};

}  // namespace

int main() { return harness_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
