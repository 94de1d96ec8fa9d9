// Examines the message the host has current: is it from Becky!, and whose version is greater.
#pragma once
#include "version_scan.h"

// token is a kTextBufferSize buffer; on DUEL_VERDICT it holds the sender's version and
// *verdict the comparison with the host's own version.
DuelOutcome CheckSenderVersion(char* token, Verdict* verdict);

// The host's version string; an empty string if the host gives none.
const char* HostVersion();
