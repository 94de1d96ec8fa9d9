// The page log: a temporary file, handed to the browser stand-in through the environment.
#include "page_log.h"

#include <windows.h>

#include "message_file.h"

PageLog::PageLog() {
  wchar_t folder[MAX_PATH + 1], file[MAX_PATH];
  DWORD n = GetTempPathW(MAX_PATH + 1, folder);
  if (n == 0 || n > MAX_PATH || !GetTempFileNameW(folder, L"url", 0, file)) return;
  path_ = file;
  SetEnvironmentVariableW(L"VOSTREL_URL_LOG", file);  // read by the browser stand-in
}

PageLog::~PageLog() {
  if (!path_.empty()) DeleteFileW(path_.c_str());
}

std::vector<std::string> PageLog::NewPages() {
  std::vector<std::string> pages;
  // Asked after every message: the file is read only once it has grown.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path_.empty() || !GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) ||
      (data.nFileSizeHigh == 0 && data.nFileSizeLow <= read_)) {
    return pages;
  }
  std::string text;
  if (!ReadAndClose(_wfopen(path_.c_str(), L"rb"), &text) || text.size() <= read_) return pages;
  size_t pos = read_;
  size_t end;
  while ((end = text.find('\n', pos)) != std::string::npos) {
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) pages.push_back(line);
    pos = end + 1;
  }
  read_ = pos;
  return pages;
}
