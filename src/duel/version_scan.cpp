// X-Mailer scan, version token cut and version comparison.
#include "version_scan.h"

#include <emmintrin.h>
#include <stdint.h>

#include <cstring>

// The scan uses SSE2, which every processor that runs a supported Windows has; the 32-bit build
// does not assume it elsewhere, so only the scan itself is compiled for it.
#if defined(__SSE2__)
#define SSE2_CODE
#else
#define SSE2_CODE __attribute__((target("sse2")))
#endif

namespace {

constexpr bool IsAsciiLetter(char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }

// _strnicmp(a, b, strlen(b)) == 0, stopping early at a NUL of either string.
bool StartsWithNoCase(const char* a, const char* b) {
  for (; *b != '\0'; ++a, ++b) {
    const char x = static_cast<char>(*a ^ *b);
    if (x != 0 && (x != 0x20 || !IsAsciiLetter(*b))) return false;
  }
  return true;
}

const int kBlock = 16;          // bytes per SSE2 register
const int kGroup = 4 * kBlock;  // the fast path's step
const uintptr_t kPage = 4096;   // the smallest page of x86 processors

// The test of one needle byte: (byte | fold) == want exactly for the bytes that match it. fold is
// 0x20 for a letter, which makes both cases one, and 0 for any other byte.
constexpr unsigned char FoldOf(char c) { return IsAsciiLetter(c) ? 0x20 : 0; }
constexpr unsigned char WantOf(char c) { return static_cast<unsigned char>(c | FoldOf(c)); }

// A byte in every lane. Four copies of it in an int first: fewer instructions than _mm_set1_epi8.
SSE2_CODE inline __m128i Lanes(unsigned char byte) {
  return _mm_set1_epi32(static_cast<int>(byte * 0x01010101u));
}

// What the scan needs to know of a needle before it starts. For the duel's two needles it is
// worked out at compile time, which spares every message that work.
struct Needle {
  const char* text;
  unsigned char width;  // the bytes tested a block at a time: the first 16 at most
  unsigned char key;    // the one the fast path looks for: the last non-letter of them, or the last
  unsigned char first_fold, first_want, key_fold, key_want;  // the tests of byte 0 and the key
};

constexpr Needle MakeNeedle(const char* text) {
  unsigned char width = 0;
  unsigned char key = 0;
  for (; width < kBlock && text[width] != '\0'; ++width) {
    if (!IsAsciiLetter(text[width])) key = width;
  }
  if (key == 0 && IsAsciiLetter(text[0])) key = static_cast<unsigned char>(width - 1);
  return {text, width, key, FoldOf(text[0]), WantOf(text[0]), FoldOf(text[key]), WantOf(text[key])};
}

// The tests of the needle's bytes other than the first and the key, made when a block first has
// starting positions left to test.
struct OtherTests {
  bool made;
  __m128i fold[kBlock], want[kBlock];
};

// The match among the starting positions hits of block, if any: their other bytes are tested 16
// at a time, then a longer needle's rest byte by byte. block holds no NUL, so the loads reaching
// into the next block stay readable. Kept out of Find, whose loops then have the registers to
// themselves: ordinary values scan some 10% faster.
SSE2_CODE __attribute__((no_sanitize_address, noinline)) const char* Confirm(const char* block,
                                                                             unsigned hits,
                                                                             const Needle& n,
                                                                             OtherTests* others) {
  if (!others->made) {
    for (int i = 1; i < n.width; ++i) {
      others->fold[i] = Lanes(FoldOf(n.text[i]));
      others->want[i] = Lanes(WantOf(n.text[i]));
    }
    others->made = true;
  }
  for (int i = 1; i < n.width && hits != 0; ++i) {
    if (i == n.key) continue;
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
    hits &= static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(c, others->fold[i]), others->want[i])));
  }
  for (; hits != 0; hits &= hits - 1) {
    const char* at = block + __builtin_ctz(hits);
    if (StartsWithNoCase(at + n.width, n.text + n.width)) return at;
  }
  return nullptr;
}

// Tests 16 starting positions at a time, with up to 16 needle bytes; a longer needle's rest is
// compared byte by byte. A 64-byte group that holds neither a NUL nor the needle's key byte (its
// last non-letter, rarer in mail headers than letters and tested without case folding) is passed
// over in a few instructions. Otherwise the group is taken a block at a time: the first and the
// key byte sort out the starting positions, and the other bytes are tested only where some
// remain, so no input costs more than a few vector instructions per byte.
//
// Reads are of aligned 16-byte blocks, and of 64-byte groups of them: a group is loaded only
// when it lies in one page, and a load reaching into the next block only once the current one is
// known to hold no NUL. A group that holds the NUL may reach up to three blocks past it, but no
// read leaves the page of the value's last byte. Reads past the NUL, which AddressSanitizer would
// report, are why it is exempted.
SSE2_CODE __attribute__((no_sanitize_address)) const char* Find(const char* haystack,
                                                                const Needle& n) {
  if (*haystack == '\0') return nullptr;
  const char* const needle = n.text;
  // A match at the very start (a Becky! value begins with "Becky!") needs no vectors set up.
  if (StartsWithNoCase(haystack, needle)) return haystack;
  const int key = n.key;
  const bool key_is_letter = n.key_fold != 0;
  const __m128i fold_first = Lanes(n.first_fold), want_first = Lanes(n.first_want);
  const __m128i fold_key = Lanes(n.key_fold), want_key = Lanes(n.key_want);
  OtherTests others;
  others.made = false;
  const __m128i zero = _mm_setzero_si128();

  // The block that holds haystack's first byte is checked on its own, so that the groups begin
  // after it and never see the bytes before haystack.
  const char* settled = haystack;  // no match starts before it
  const char* stop = haystack - reinterpret_cast<uintptr_t>(haystack) % kBlock + kBlock;
  bool may_end = true;  // whether the blocks before stop may hold the NUL
  for (;;) {
    // From the block where unsettled starts begin: a match whose key byte is in a checked group
    // may start in the block before it.
    const char* block = settled - reinterpret_cast<uintptr_t>(settled) % kBlock;
    unsigned live = (0xFFFFu << (settled - block)) & 0xFFFFu;
    for (; block != stop; block += kBlock, live = 0xFFFFu) {
      const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
      const __m128i starts = _mm_cmpeq_epi8(_mm_or_si128(a, fold_first), want_first);
      const unsigned ends =
          may_end ? static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, zero))) & live : 0;
      if (ends != 0) {
        // The value ends in this block: the few positions before its NUL are compared one by one.
        unsigned hits =
            static_cast<unsigned>(_mm_movemask_epi8(starts)) & live & ((ends & -ends) - 1);
        for (; hits != 0; hits &= hits - 1) {
          const char* at = block + __builtin_ctz(hits);
          if (StartsWithNoCase(at + 1, needle + 1)) return at;
        }
        return nullptr;
      }
      // The value goes on past this block, so loads reaching into the next one stay readable.
      const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + key));
      unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
                          starts, _mm_cmpeq_epi8(_mm_or_si128(k, fold_key), want_key)))) &
                      live;
      if (hits == 0) continue;
      if (const char* at = Confirm(block, hits, n, &others)) return at;
    }

    // The fast path, a group at a time; a group may not reach into the next page.
    const char* group = stop;
    const uintptr_t last_in_page =
        (reinterpret_cast<uintptr_t>(group) | (kPage - 1)) - (kGroup - 1);
    bool stopped = false;
    while (reinterpret_cast<uintptr_t>(group) <= last_in_page) {
      // Zero where a byte is NUL or the key byte: min(byte ^ wanted, byte), letters folded first.
      __m128i low = zero;
      for (int i = 0; i < kGroup; i += kBlock) {
        const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(group + i));
        const __m128i x = _mm_xor_si128(key_is_letter ? _mm_or_si128(a, fold_key) : a, want_key);
        low = i == 0 ? _mm_min_epu8(x, a) : _mm_min_epu8(low, _mm_min_epu8(x, a));
      }
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(low, zero)) != 0) {
        stopped = true;
        break;
      }
      group += kGroup;
    }
    settled = group != stop ? group - key : stop;
    if (stopped) {
      __m128i low = _mm_load_si128(reinterpret_cast<const __m128i*>(group));
      for (int i = kBlock; i < kGroup; i += kBlock) {
        low = _mm_min_epu8(low, _mm_load_si128(reinterpret_cast<const __m128i*>(group + i)));
      }
      may_end = _mm_movemask_epi8(_mm_cmpeq_epi8(low, zero)) != 0;
      if (may_end) {
        // With a NUL but no key byte in the group, no match ends before the value does.
        __m128i keys = zero;
        for (int i = 0; i < kGroup; i += kBlock) {
          const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(group + i));
          keys = _mm_or_si128(keys, _mm_cmpeq_epi8(_mm_or_si128(a, fold_key), want_key));
        }
        if (_mm_movemask_epi8(keys) == 0) return nullptr;
      }
      stop = group + kGroup;
    } else if (reinterpret_cast<uintptr_t>(group) % kPage == 0) {
      may_end = false;  // a new page: only the starts whose key byte lies in it are left
      stop = group;
    } else {
      may_end = true;  // near a page's end blocks go one at a time
      stop = group + kBlock;
    }
  }
}

}  // namespace

const char* FindNoCase(const char* haystack, const char* needle) {
  return Find(haystack, MakeNeedle(needle));
}

DuelOutcome CutSenderVersion(const char* header, char* token, size_t token_size) {
  static constexpr Needle kBecky = MakeNeedle("Becky!");
  static constexpr Needle kVer = MakeNeedle("ver");
  if (Find(header, kBecky) == nullptr) return DUEL_NOT_BECKY;
  // "ver" is looked for from the start of the value, not from where "Becky!" stood.
  const char* ver = Find(header, kVer);
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
