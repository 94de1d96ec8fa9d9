// The pages a plug-in opened: the browser stand-in appends each address to the file named by
// VOSTREL_URL_LOG, which this makes (in the temporary folder, which may be named in any script)
// and reads back.
#pragma once
#include <string>
#include <vector>

class PageLog {
 public:
  PageLog();
  ~PageLog();
  // The addresses logged since the last call.
  std::vector<std::string> NewPages();

 private:
  std::wstring path_;
  size_t read_ = 0;
};
