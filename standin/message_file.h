// A mail message as the stand-in host needs it: its header block, and the X-Mailer value in it.
// Plain C++ without Windows headers: files come opened by the caller, who knows how their paths
// are written.
#pragma once
#include <cstdio>
#include <string>

struct MailMessage {
  std::string label;  // file name (UTF-8), or "(inline N)" for a message given on the command line
  bool has_xmailer;   // false: the header block has no X-Mailer field
  std::string xmailer;  // its value, unfolded, without the leading blanks
};

enum MessageParse { MESSAGE_OK, MESSAGE_NO_HEADER };

// Reads the header block: lines up to the first empty one, continuation lines (starting with a
// blank) joined to the line before, field names matched without regard to case.
MessageParse ParseMessage(const std::string& text, MailMessage* message);

// Reads the rest of a file the caller opened (as bytes), onto the end of text, and closes it;
// false for null.
bool ReadAndClose(FILE* file, std::string* text);
