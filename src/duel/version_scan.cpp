// X-Mailer scan, version token cut and version comparison.
#include "version_scan.h"

#include <cstring>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// _strnicmp(a, b, strlen(b)) == 0, stopping early at a NUL of either string.
bool StartsWithNoCase(const char* a, const char* b) {
  for (; *b != '\0'; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return true;
}

// Next occurrence of c in [from, end), or end.
const char* NextByte(const char* from, const char* end, char c) {
  const void* hit = memchr(from, c, static_cast<size_t>(end - from));
  return hit != nullptr ? static_cast<const char*>(hit) : end;
}

}  // namespace

// Same result as trying every position in turn, but it jumps from one byte that can start a
// match (the needle's first letter in either case) to the next, so a value is read in a few
// memchr passes instead of a comparison at every byte.
const char* FindNoCase(const char* haystack, const char* needle) {
  if (*haystack == '\0') return nullptr;
  if (*needle == '\0') return haystack;
  const char* const end = haystack + strlen(haystack);
  const char lower = AsciiLower(needle[0]);
  const char upper = AsciiUpper(needle[0]);
  const char* next_lower = NextByte(haystack, end, lower);
  const char* next_upper = upper != lower ? NextByte(haystack, end, upper) : end;
  while (next_lower != end || next_upper != end) {
    const char* candidate = next_lower < next_upper ? next_lower : next_upper;
    if (StartsWithNoCase(candidate + 1, needle + 1)) return candidate;
    // Each search resumes after its own last hit, so no byte is searched twice for a letter.
    if (candidate == next_lower) next_lower = NextByte(candidate + 1, end, lower);
    if (candidate == next_upper) next_upper = NextByte(candidate + 1, end, upper);
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
