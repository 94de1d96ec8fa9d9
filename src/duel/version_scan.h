// Reading the sender's mail client version out of an X-Mailer value, and comparing versions.
// Free of Windows headers: built into the plug-in and into the native tests alike.
#pragma once
#include <cstddef>

#include "../text/buffer_sizes.h"

// What examining one opened message came to.
enum DuelOutcome {
  DUEL_SILENT,     // nothing is to happen
  DUEL_NOT_BECKY,  // the X-Mailer value does not name Becky!
  DUEL_VERDICT     // a version was cut and compared
};

// Sign of the version comparison: the sender's version against the user's own.
enum Verdict { VERDICT_WIN = -1, VERDICT_DRAW = 0, VERDICT_LOSE = 1 };

// First position in haystack where needle matches, ASCII letters compared without case; or null:
// what _strnicmp at every position in turn would find, but 16 positions are tested at once.
// Reads whole aligned 16-byte blocks; a 64-byte group, loaded whole, may reach up to three blocks
// past the one that holds haystack's NUL, but never into the page after the NUL's.
const char* FindNoCase(const char* haystack, const char* needle);

// Finds "Becky!" and the version token after the first "ver" in an X-Mailer value.
// On DUEL_VERDICT the token (possibly empty) is copied, NUL-terminated, into token;
// a token longer than token_size - 1 bytes is cut there.
DuelOutcome CutSenderVersion(const char* header, char* token, size_t token_size);

// Byte-wise comparison of two version strings (bytes unsigned, a proper prefix is smaller).
Verdict CompareVersions(const char* sender, const char* own);

// The single warning of this run was given and the user asked for one only: stay silent.
inline bool DuelGateClosed(int popup, int once, int first_warning) {
  return popup != 0 && once != 0 && first_warning == 0;
}
