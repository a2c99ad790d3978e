#pragma once
// The files of a new plug-in project (qorb-ide new): a CMake project that
// builds one plug-in against the installed SDK and a test that runs it in
// the IDE.
#include <string>
#include <vector>

struct TPluginTemplateChoice {
  std::string Name;  // an identifier: project, target, file and log source name
  bool C = false;  // plain C instead of C++
  bool OptionsPage = false;  // C++ only: a page in the options dialog
};

struct TTemplateFile {
  std::string Path;  // relative to the project folder
  std::string Content;  // bytes as written
};

// The menu item the plug-in adds, which its test clicks.
std::string PluginTemplateCaption(const std::string& Name);

std::vector<TTemplateFile> PluginTemplateFiles(const TPluginTemplateChoice& Choice);
