#pragma once
// qorb-ide new NAME [--c] [--options-page]: writes a plug-in project that
// builds against the installed SDK and tests itself in the IDE.
#include <ostream>
#include <string>
#include <vector>

// Args are what follows "new". 0 when the project was written (its files
// and the next commands on Out), 1 when it could not be, 2 for a bad
// command line (reasons on Err).
int WriteNewProject(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

extern const char* const NewProjectUsage;
