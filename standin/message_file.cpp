// Header parsing for the stand-in host: enough of the message format to find X-Mailer.
#include "message_file.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits the header block into unfolded field lines; false when there is no header at all.
bool HeaderLines(const std::string& text, std::vector<std::string>* lines) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) break;  // the end of the header block
    if (IsBlank(line[0])) {
      if (lines->empty()) return false;  // a continuation of nothing: not a header
      lines->back() += line;             // unfolding removes the line break only
      continue;
    }
    size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    for (size_t i = 0; i < colon; ++i) {
      unsigned char c = static_cast<unsigned char>(line[i]);
      if (c <= ' ' || c >= 127) return false;  // field names are printable ASCII, no blanks
    }
    lines->push_back(line);
  }
  return !lines->empty();
}

bool FieldValue(const std::vector<std::string>& lines, const char* name, std::string* value) {
  size_t length = strlen(name);
  for (const std::string& line : lines) {
    if (line.size() <= length || line[length] != ':') continue;
    bool same = true;
    for (size_t i = 0; i < length && same; ++i) {
      char a = line[i], b = name[i];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      same = a == b;
    }
    if (!same) continue;
    size_t start = length + 1;
    while (start < line.size() && IsBlank(line[start])) ++start;
    *value = line.substr(start);
    return true;
  }
  return false;
}

}  // namespace

MessageParse ParseMessage(const std::string& text, MailMessage* message) {
  std::vector<std::string> lines;
  if (!HeaderLines(text, &lines)) return MESSAGE_NO_HEADER;
  message->has_xmailer = FieldValue(lines, "X-Mailer", &message->xmailer);
  if (!message->has_xmailer) message->xmailer.clear();
  return MESSAGE_OK;
}

bool ReadAndClose(FILE* file, std::string* text) {
  if (file == NULL) return false;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  fclose(file);
  return true;
}
