// Tells what a user would have seen since the last look: boxes, pages opened, the result window.
#pragma once
#include <windows.h>

#include <string>

#include "box_watch.h"
#include "page_log.h"
#include "shot_folder.h"

// A BoxShown for SetBoxHandling, with the run's Shots as context: pictures the box.
void ShotOfBox(HWND box, void* shots);

class Reporter {
 public:
  Reporter(HWND main_window, PageLog* pages, Shots* shots)
      : main_(main_window), pages_(pages), shots_(shots) {}

  // Everything that showed since the last report; the result window after a message even when
  // it did not change, otherwise only when it did.
  void Report(bool after_message);
  // Whether anything showed since the last call.
  bool AnythingShown();

 private:
  HWND main_;
  PageLog* pages_;
  Shots* shots_;
  HWND result_ = NULL;
  int shown_ = 0;
  bool last_visible_ = false;
  std::string last_caption_;
};
