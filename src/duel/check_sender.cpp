// The version duel's examination of one opened message, read through the host binding.
#include "check_sender.h"

#include <string.h>

#include "../host/bkapi.h"
#include "../host/module_state.h"

const char* HostVersion() {
  const char* version = bkapi.GetVersion();
  return version != NULL ? version : "";
}

DuelOutcome CheckSenderVersion(char* token, Verdict* verdict) {
  if (DuelGateClosed(fPopup, fOnce, fFirstWarning)) return DUEL_SILENT;
  char header[kTextBufferSize];
  memset(header, 0, sizeof header);
  // One byte short of the buffer, so that a host filling all it is offered still leaves a NUL.
  bkapi.GetSpecifiedHeader("X-Mailer", header, sizeof header - 1);
  DuelOutcome outcome = CutSenderVersion(header, token, kTextBufferSize);
  if (outcome == DUEL_VERDICT) *verdict = CompareVersions(token, HostVersion());
  return outcome;
}
