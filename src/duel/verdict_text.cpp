// Bounded formatting of the verdict texts.
#include "verdict_text.h"

#include <cstring>

#include "../text/bounded_text.h"
#include "../text/lead_bytes.h"

namespace {

const char kEllipsis[] = "...";
const size_t kEllipsisLength = sizeof(kEllipsis) - 1;

// Copies src into dst (of kTextBufferSize) within budget bytes, ending in "..." when cut.
void CopyShortened(char* dst, const char* src, size_t length, size_t budget,
                   const LeadBytes& lead) {
  TextBuilder text(dst, kTextBufferSize);
  if (length <= budget) {
    text.Append(src, length);
    return;
  }
  bool mark = budget >= kEllipsisLength;
  text.Append(src, FitPrefix(src, mark ? budget - kEllipsisLength : budget, lead));
  if (mark) text.Append(kEllipsis);
}

}  // namespace

void FormatTwoStrings(char* out, size_t out_size, const char* format, const char* first,
                      const char* second, const LeadBytes& lead) {
  if (out_size == 0) return;
  const size_t fixed = strlen(format) - 4;  // the format less its two "%s"
  size_t room = out_size - 1 > fixed ? out_size - 1 - fixed : 0;
  size_t a = strnlen(first, kTextBufferSize - 1);
  size_t b = strnlen(second, kTextBufferSize - 1);
  // Each string keeps up to half the room; what one leaves unused goes to the other.
  size_t budget_a = a, budget_b = b;
  if (a + b > room) {
    size_t half = room / 2;
    if (a <= half) {
      budget_b = room - a;
    } else if (b <= room - half) {
      budget_a = room - b;
    } else {
      budget_a = half;
      budget_b = room - half;
    }
  }
  char cut_first[kTextBufferSize];
  char cut_second[kTextBufferSize];
  CopyShortened(cut_first, first, a, budget_a, lead);
  CopyShortened(cut_second, second, b, budget_b, lead);
  const char* const values[] = {cut_first, cut_second};
  FillTemplate(out, out_size, format, values, 2);
}

void FormatResultLine(char* out, size_t out_size, Verdict verdict, const char* sender,
                      const char* own, const LeadBytes& lead) {
  const char* format = verdict == VERDICT_LOSE  ? "LOSE (He:%s > You:%s)"
                       : verdict == VERDICT_WIN ? "WIN! (He:%s < You:%s)"
                                                : "DRAW (He:%s = You:%s)";
  FormatTwoStrings(out, out_size, format, sender, own, lead);
}

void FormatWarningText(char* out, size_t out_size, const char* sender, const char* own,
                       const LeadBytes& lead) {
  FormatTwoStrings(out, out_size, "He:%s\r\nYou:%s", sender, own, lead);
}
