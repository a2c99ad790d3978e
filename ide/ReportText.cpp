#include "ide/ReportText.h"

void AppendIndented(std::string& Out, std::string_view Text, std::string_view Indent) {
  bool lineStart = false;
  for (const char c : Text) {
    if (c == '\r') continue;
    if (c == '\n') {
      Out += '\n';
      lineStart = true;
      continue;
    }
    if (lineStart) Out += Indent;
    lineStart = false;
    Out += c;
  }
}
