#include "product/CommandLine.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    for (;;) {
        while (i < n && IsBlank(commandLine[i]))
            ++i;
        if (i >= n) break;
        std::string arg;
        while (i < n && !IsBlank(commandLine[i])) {
            if (commandLine[i] == '"') {
                ++i;
                while (i < n && commandLine[i] != '"')
                    arg += commandLine[i++];
                if (i < n) ++i; // the closing quote
            } else {
                arg += commandLine[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::optional<std::string> DestDirArgument(const std::string& commandLine) {
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.size() < 2) return std::nullopt;
    const std::string& first = args[1];
    if (first.size() < 2 || first[0] != '-' || first[1] != 'd') return std::nullopt;
    return first.substr(2);
}
