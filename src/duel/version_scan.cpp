// X-Mailer scan, version token cut and version comparison.
#include "version_scan.h"

#include <cstring>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// _strnicmp(a, b, strlen(b)) == 0, stopping early at a NUL of either string.
bool StartsWithNoCase(const char* a, const char* b) {
  for (; *b != '\0'; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return true;
}

}  // namespace

const char* FindNoCase(const char* haystack, const char* needle) {
  for (const char* p = haystack; *p != '\0'; ++p) {
    if (StartsWithNoCase(p, needle)) return p;
  }
  return nullptr;
}

DuelOutcome CutSenderVersion(const char* header, char* token, size_t token_size) {
  if (FindNoCase(header, "Becky!") == nullptr) return DUEL_NOT_BECKY;
  // "ver" is looked for from the start of the value, not from where "Becky!" stood.
  const char* ver = FindNoCase(header, "ver");
  if (ver == nullptr) return DUEL_SILENT;
  const char* space = strchr(ver, ' ');
  if (space == nullptr) return DUEL_SILENT;
  const char* start = space + 1;
  const char* end = strchr(start, ' ');
  size_t length = end != nullptr ? static_cast<size_t>(end - start) : strlen(start);
  if (token_size == 0) return DUEL_VERDICT;
  if (length > token_size - 1) length = token_size - 1;
  memcpy(token, start, length);
  token[length] = '\0';
  return DUEL_VERDICT;
}

Verdict CompareVersions(const char* sender, const char* own) {
  int c = strcmp(sender, own);  // strcmp compares as unsigned char
  return c > 0 ? VERDICT_LOSE : (c < 0 ? VERDICT_WIN : VERDICT_DRAW);
}
