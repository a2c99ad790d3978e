#pragma once
// Opening one options page the way a person does: find it by "AREA/CAPTION",
// let the page's frame come up, confirm, close accepted. Reports what
// happened as text (for a page that does not exist, the ones that do) and,
// when asked, writes a picture of the page with its settings loaded.
#include <filesystem>
#include <string>

class TIDE;

struct TOptionsPageShowing {
  bool Found = false;
  bool Accepted = false;
  std::string Text;  // what a person saw, a heading and indented lines
};

// An empty Picture writes none.
TOptionsPageShowing ShowOptionsPage(TIDE& Ide, const std::string& AreaSlashCaption,
                                    const std::filesystem::path& Picture);
