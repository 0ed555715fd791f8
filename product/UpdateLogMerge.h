// The content of "Update.log": groups of shared files under the stamp of the installation that
// last delivered them. Lines compare through the caller's comparison (the user locale's,
// ignoring case, on Windows).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Negative, zero or positive, as strcmp.
using TTextCompare = std::function<int(const std::string&, const std::string&)>;

// Ascending; lines that compare equal keep their order.
void SortLines(std::vector<std::string>& lines, const TTextCompare& compare);

// The new file's lines: the earlier file's lines (none when there was no file) without every
// empty line and every line listed again now, with runs of stamp lines cut to their first and a
// stamp line left without files dropped from the end; then stampLine and the sorted public list.
std::vector<std::string> MergeUpdateLog(const std::optional<std::vector<std::string>>& earlier,
                                        const std::vector<std::string>& sortedPublic,
                                        const std::string& stampLine, const TTextCompare& compare);
