// The record of what the setup created: "Install.log" in the destination folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Exists from the start of copying to the end of the program (null before).
extern std::unique_ptr<std::vector<std::string>> InstallLog;
// Where SaveInstallLog writes; empty in portable mode, where nothing is written.
extern std::string InstallLogPath;
extern bool InstallStarted;
// A line is recorded only while this is 0. The worker raises and lowers it while the wizard
// reads it to mark queued files, hence atomic.
extern std::atomic<std::int32_t> InstallLogSuspendCount;

// Appends the line unless the log is suspended, not yet prepared, or already holds a line that
// the user locale compares equal to it, case aside. Safe to call from the worker while the
// wizard saves: both go through one lock.
void AddToInstallLog(const std::string& line);
// Calls nest: after two suspends, two resumes are needed.
void SuspendInstallLog();
void ResumeInstallLog();
// Starts a new, empty log and sets InstallStarted. A non-empty path becomes InstallLogPath and,
// when it names a file, that file's lines are loaded first (empty lines kept; a line ends at CR,
// LF or CR LF); a file that cannot be read leaves the log empty. Pass empty text in portable
// mode: no path is kept and nothing is read.
void PrepareInstallLog(const std::string& path);
// Replaces the file at InstallLogPath with the log, every line followed by CR LF, when
// installation was started. Errors are ignored; a file that cannot be replaced (read-only,
// held open by another program, disk full) keeps its old content.
void SaveInstallLog();
