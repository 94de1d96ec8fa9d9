// The host's report of what showed, each event on one line, with the pictures taken of it.
#include "reporter.h"

#include <stdio.h>
#include <string.h>

#include "host_api.h"
#include "host_output.h"

namespace {

struct ResultSearch {
  HWND owner, found;
};

BOOL CALLBACK IsResultWindow(HWND window, LPARAM param) {
  ResultSearch* search = reinterpret_cast<ResultSearch*>(param);
  char name[16];
  if (GetWindow(window, GW_OWNER) == search->owner && GetClassNameA(window, name, sizeof name) &&
      strcmp(name, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The plug-in's own window: a dialog owned by the host's main window.
HWND FindResultWindow(HWND owner) {
  ResultSearch search = {owner, NULL};
  EnumThreadWindows(GetCurrentThreadId(), IsResultWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

void ShotOfBox(HWND box, void* shots) {
  Shots* run_shots = static_cast<Shots*>(shots);
  run_shots->of_box[box] = run_shots->Take(box, "box");
}

void Reporter::Report(bool after_message) {
  if (result_ == NULL) result_ = FindResultWindow(main_);
  for (int i = 0; i < SeenBoxCount(); ++i) {
    const SeenBox* box = SeenBoxAt(i);
    // As the box holds them: the plug-in's own texts are UTF-16 under any code page.
    std::string line = "  box " + Quoted(Utf8FromWide(box->wcaption));
    if (box->wtext[0] != L'\0') line += ": " + OneLine(Utf8FromWide(box->wtext));
    line += box->owner == NULL ? "  (no owner)" : "  (owned)";
    Say(line);
    auto shot = shots_->of_box.find(box->window);
    if (shot != shots_->of_box.end() && !shot->second.empty()) Say("  shot " + shot->second);
    ++shown_;
  }
  // Reported boxes are dropped, so that a long run keeps no more than one message's worth.
  ForgetSeenBoxes();
  shots_->of_box.clear();
  for (const std::string& page : pages_->NewPages()) {
    Say("  page opened: " + page);
    ++shown_;
  }
  if (result_ != NULL && IsWindow(result_)) {
    bool visible = IsWindowVisible(result_) != 0;
    std::string caption = WindowText(result_);
    bool changed = visible != last_visible_ || caption != last_caption_;
    if ((after_message && visible) || changed) {
      RECT r;
      GetWindowRect(result_, &r);
      char place[96];
      snprintf(place, sizeof place, " at %ld,%ld size %ldx%ld", r.left, r.top, r.right - r.left,
               r.bottom - r.top);
      Say("  result window " + Quoted(caption) +
          (visible ? " shown" + std::string(place) : " hidden"));
      last_visible_ = visible;
      last_caption_ = caption;
      ++shown_;
    }
    if (visible && (after_message || changed)) {
      std::string shot = shots_->Take(result_, "result");
      if (!shot.empty()) Say("  shot " + shot);
    }
  }
}

bool Reporter::AnythingShown() {
  bool any = shown_ > 0;
  shown_ = 0;
  return any;
}
