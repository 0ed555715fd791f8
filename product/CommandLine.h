// The setup's command line: only a first argument beginning with "-d" means anything.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Splits a whole command line (program name first) into arguments: blanks and control
// characters separate, a part in double quotes may hold blanks, the quotes are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The destination named by "-d<folder>" as the first argument after the program name; the
// prefix is case-sensitive. Empty optional when there is no such argument.
std::optional<std::string> DestDirArgument(const std::string& commandLine);
