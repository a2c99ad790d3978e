#pragma once
// Text with line breaks in qorb-ide's report: each further line starts
// indented under the first, carriage returns ("\r\n" from add-ins) go, and
// an empty line stays empty rather than ending in spaces.
#include <string>
#include <string_view>

void AppendIndented(std::string& Out, std::string_view Text, std::string_view Indent);
