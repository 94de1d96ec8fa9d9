// The examination of an opened message, read through the real binding from this executable's
// own host functions.
#include <windows.h>

#include <string>

#include "../../src/duel/check_sender.h"
#include "../../src/host/bkapi.h"
#include "../../src/host/module_state.h"
#include "../../standin/host_api.h"
#include "../harness/harness.h"

namespace {

struct Case {
  const char* xmailer;  // null: the message has no X-Mailer
  const char* version;  // the host's
  DuelOutcome outcome;
  Verdict verdict;
  const char* token;
};

const char* OutcomeName(DuelOutcome o) {
  return o == DUEL_SILENT ? "silent" : o == DUEL_NOT_BECKY ? "not Becky!" : "verdict";
}

void Verdicts() {
  const Case cases[] = {
      {"Becky! ver. 2.81.05 (Windows 10)", "2.75.02", DUEL_VERDICT, VERDICT_LOSE, "2.81.05"},
      {"Becky! ver. 2.75.02", "2.75.02", DUEL_VERDICT, VERDICT_DRAW, "2.75.02"},
      {"Becky! ver. 2.10", "2.9", DUEL_VERDICT, VERDICT_WIN, "2.10"},
      {"Becky! ver. 2.9", "2.10", DUEL_VERDICT, VERDICT_LOSE, "2.9"},
      {"becky! VER. 2.0", "2.0a", DUEL_VERDICT, VERDICT_WIN, "2.0"},
      {"Becky! 2.81", "2.75", DUEL_SILENT, VERDICT_DRAW, NULL},
      {"Becky!ver.2.81", "2.75", DUEL_SILENT, VERDICT_DRAW, NULL},
      {"Thunderbird 115.3", "2.75", DUEL_NOT_BECKY, VERDICT_DRAW, NULL},
      {NULL, "2.75", DUEL_NOT_BECKY, VERDICT_DRAW, NULL},
      {"Becky! ver. 2.81", NULL, DUEL_VERDICT, VERDICT_LOSE, "2.81"},  // broken host: ""
  };
  for (const Case& c : cases) {
    standin.xmailer = c.xmailer;
    standin.version = c.version;
    char token[kTextBufferSize] = "";
    Verdict verdict = VERDICT_DRAW;
    DuelOutcome got = CheckSenderVersion(token, &verdict);
    const char* what = c.xmailer ? c.xmailer : "(no X-Mailer)";
    ok(got == c.outcome, "%s: expected %s, got %s", what, OutcomeName(c.outcome), OutcomeName(got));
    if (got == DUEL_VERDICT && c.outcome == DUEL_VERDICT) {
      ok(verdict == c.verdict, "%s: expected verdict %d, got %d", what, c.verdict, verdict);
      ok(strcmp(token, c.token) == 0, "%s: expected token %s, got %s", what, c.token, token);
    }
  }
  ok(standin.last_header_size == 1023, "expected 1023 bytes offered, got %d",
     standin.last_header_size);
}

void Gate() {
  standin.xmailer = "Becky! ver. 9.9";
  standin.version = "2.0";
  struct {
    int popup, once, first_warning;
    bool reads;
  } gates[] = {{1, 1, 0, false}, {1, 1, 1, true}, {0, 1, 0, true}, {1, 0, 0, true}};
  for (const auto& g : gates) {
    fPopup = g.popup, fOnce = g.once, fFirstWarning = g.first_warning;
    int before = standin.header_requests;
    char token[kTextBufferSize];
    Verdict verdict;
    DuelOutcome got = CheckSenderVersion(token, &verdict);
    bool read = standin.header_requests != before;
    ok(read == g.reads, "popup %d once %d first %d: expected header %s, got %s", g.popup, g.once,
       g.first_warning, g.reads ? "read" : "not read", read ? "read" : "not read");
    ok(got == (g.reads ? DUEL_VERDICT : DUEL_SILENT), "popup %d once %d first %d: got %s", g.popup,
       g.once, g.first_warning, OutcomeName(got));
  }
  fPopup = fOnce = fFirstWarning = 1;
}

void CarelessHost() {
  // Every offered byte filled and no NUL: the scan stays inside the buffer.
  std::string value = "Becky! ver. 2.81 ";
  standin.xmailer = value.c_str();
  standin.version = "2.75";
  standin.fill_without_nul = true;
  char token[kTextBufferSize];
  Verdict verdict;
  DuelOutcome got = CheckSenderVersion(token, &verdict);
  ok(got == DUEL_VERDICT, "expected verdict, got %s", OutcomeName(got));
  ok(strcmp(token, "2.81") == 0, "expected token 2.81, got %s", token);
  // A value of 1023 bytes with no space after the token: the token ends at the buffer's end.
  std::string long_value = "Becky! ver. " + std::string(2000, '9');
  standin.xmailer = long_value.c_str();
  got = CheckSenderVersion(token, &verdict);
  ok(got == DUEL_VERDICT && strlen(token) == 1023 - 12, "expected a %d-byte token, got %u",
     1023 - 12, static_cast<unsigned>(strlen(token)));
  standin.fill_without_nul = false;
  // A host version longer than any buffer is compared whole.
  std::string long_version(3000, '1');
  standin.version = long_version.c_str();
  standin.xmailer = "Becky! ver. 2";
  got = CheckSenderVersion(token, &verdict);
  ok(got == DUEL_VERDICT && verdict == VERDICT_LOSE, "long host version: got %s %d",
     OutcomeName(got), verdict);
}

const TestGroup kGroups[] = {
    {"verdicts", Verdicts},
    {"gate", Gate},
    {"careless_host", CarelessHost},
};

}  // namespace

int main() {
  if (!bkapi.Bind()) {
    printf("the test executable does not export the host functions\n");
    return 1;
  }
  return harness_main(kGroups, sizeof kGroups / sizeof kGroups[0]);
}
