#pragma once
// What a person reads on a control and on the controls it holds.
#include <string>

class TControl;

// One line each, indented: visible labels' and captioned panels' texts,
// "[picture WxH]" for an image (on the line of the label beside it, when
// there is one), "list of N rows" for a list box; children
// in designed order, except that what sits at the foot is read last.
void DescribeControl(TControl& Control, const std::string& Indent, std::string& Out);
