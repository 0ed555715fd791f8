#include "product/UpdateLogMerge.h"

#include <algorithm>

namespace {

bool IsStamp(const std::string& line) {
    return !line.empty() && line[0] == '*';
}

} // namespace

void SortLines(std::vector<std::string>& lines, const TTextCompare& compare) {
    std::stable_sort(lines.begin(), lines.end(),
                     [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
}

std::vector<std::string> MergeUpdateLog(const std::optional<std::vector<std::string>>& earlier,
                                        const std::vector<std::string>& sortedPublic,
                                        const std::string& stampLine, const TTextCompare& compare) {
    std::vector<std::string> result;
    if (earlier) {
        const auto listedAgain = [&](const std::string& line) {
            return std::any_of(sortedPublic.begin(), sortedPublic.end(),
                               [&](const std::string& p) { return compare(line, p) == 0; });
        };
        for (const std::string& line : *earlier)
            if (!line.empty() && !listedAgain(line)) result.push_back(line);
        // Of several stamps in a row only the first survives: its files were all delivered again.
        for (std::size_t i = result.size(); i-- > 1;)
            if (IsStamp(result[i]) && IsStamp(result[i - 1]))
                result.erase(result.begin() + static_cast<std::ptrdiff_t>(i));
        if (!result.empty() && IsStamp(result.back())) result.pop_back();
    }
    result.push_back(stampLine);
    result.insert(result.end(), sortedPublic.begin(), sortedPublic.end());
    return result;
}
