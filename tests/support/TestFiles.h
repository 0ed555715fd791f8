// Files of the Wine prefix as the tests see them.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Build-tree paths are Unix paths; Wine shows the Unix root as drive Z:.
std::string WinePath(std::string unixPath);

// Every file and folder in a folder tree, appended to out, so that a test can tell that nothing
// was written.
void ListTree(const std::string& folder, std::vector<std::string>& out);

} // namespace testsupport
