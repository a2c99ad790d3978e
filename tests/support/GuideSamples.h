#pragma once
// The sample reports of the author's guide (```text report:NAME blocks),
// compared with what the program prints today: addresses, offsets, times,
// numbers of threads, processes and frames, and folders are masked on both
// sides.
// A line "..." in a sample stands for any run of lines.
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

inline std::string MaskReport(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  static const std::pair<std::regex, const char*> kMasks[] = {
      {std::regex("\r"), ""},
      {std::regex("\\b[0-9A-F]{16}\\b"), "<address>"},
      {std::regex("\\+0x[0-9A-F]{4,}"), "+0x<offset>"},
      {std::regex("[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}"), "hh:nn:ss.zzz"},
      {std::regex("(thread|process) [0-9]+"), "$1 N"},
      {std::regex("#[0-9]+ "), "#N "},
      {std::regex("[0-9]+\\.[0-9] s\\b"), "N s"},
      {std::regex("([A-Za-z]:)?(/[^ /()'\"\n]*)+/"), "<folder>/"},
  };
  for (const auto& [pattern, mask] : kMasks) text = std::regex_replace(text, pattern, mask);
  return text;
}

// The sample's text; empty when the guide has none by that name.
inline std::string GuideSample(const std::string& Guide, const std::string& Name) {
  std::ifstream in(Guide);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  const std::string open = "\n```text report:" + Name + "\n";
  const size_t start = text.find(open);
  if (start == std::string::npos) return {};
  const size_t body = start + open.size();
  const size_t end = text.find("\n```", body - 1);
  return end == std::string::npos ? std::string() : text.substr(body, end + 1 - body);
}

// Empty when Printed shows Sample, masked: its lines in order, one after the
// other except across a "...". Otherwise the first line of the sample not
// found where it should be.
inline std::string SampleMismatch(const std::string& Sample, const std::string& Printed) {
  auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(MaskReport(text));
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  };
  const std::vector<std::string> want = lines(Sample), have = lines(Printed);
  if (want.empty()) return "the guide has no such sample";
  size_t at = 0;
  bool anywhere = true;  // the sample may start anywhere in the output
  for (const std::string& line : want) {
    if (line.find_first_not_of(' ') != std::string::npos && line.substr(line.find_first_not_of(' ')) == "...") {
      anywhere = true;
      continue;
    }
    if (anywhere) {
      while (at < have.size() && have[at] != line) ++at;
    }
    if (at >= have.size() || have[at] != line) return line;
    ++at;
    anywhere = false;
  }
  return {};
}
