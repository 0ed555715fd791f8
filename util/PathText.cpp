// The separator rules every path text of the setup follows; no platform calls here.
#include "util/InstUtils.h"

void AppendBackslash(std::string& s) {
    if (s.empty()) return;
    // A folder typed with a forward slash at its end keeps one separator, not two.
    if (s.back() == '/' || s.back() == '\\')
        s.back() = '\\';
    else
        s += '\\';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    AppendBackslash(path);
    return path + name;
}

char LastChar(const std::string& s) {
    return s.empty() ? '\0' : s.back();
}

void DeleteFirstChar(std::string& s) {
    if (!s.empty()) s.erase(0, 1);
}

void DeleteLastChar(std::string& s) {
    if (!s.empty()) s.pop_back();
}

std::string DrivePart(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share: up to, not including, the separator after the share name.
        const std::size_t server = path.find('\\', 2);
        if (server == std::string::npos) return path;
        const std::size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
}
