// The host's message loop, and waiting for the processes a plug-in starts (such as a browser).
#pragma once
#include <windows.h>

#include <set>

// Serves this thread's windows for the given time (0: only what is queued now).
void Pump(int milliseconds);

// The processes this one starts, such as the browser a plug-in opens for a page (Wine's own
// helpers aside). A list of all processes costs milliseconds, so the host puts itself in a job,
// which its children join, and takes the list only when the job's count of processes grew.
class ChildWatch {
 public:
  ChildWatch();
  ~ChildWatch();
  // Notes the children there are now.
  void Mark();
  // Lets the children started since Mark finish (a few seconds at most), serving windows.
  void WaitForNew();

 private:
  // Processes ever started in the job; without a job, a new value at every call.
  DWORD Started();
  HANDLE job_ = NULL;
  DWORD calls_ = 0;
  DWORD started_ = 0;
  bool marked_ = false;
  std::set<DWORD> known_;
};
