// The record of what the setup created: "Install.log" in the destination folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Exists from the start of copying to the end of the program (null before).
extern std::unique_ptr<std::vector<std::string>> InstallLog;
extern std::string InstallLogPath;
extern bool InstallStarted;
// A line is recorded only while this is 0.
extern std::int32_t InstallLogSuspendCount;

void AddToInstallLog(const std::string& line);
void SuspendInstallLog();
void ResumeInstallLog();
// Starts a new, empty log; loads the file at path when it names a file (errors ignored).
void PrepareInstallLog(const std::string& path);
// Saves the log to InstallLogPath, one line each followed by CR LF; errors are ignored.
void SaveInstallLog();
