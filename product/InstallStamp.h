// The date-time of an installation in the two forms it is kept on disk: 8 raw bytes in
// "install_stamp" and a stamp line in "Update.log".
#pragma once

#include <string>

// The double's bytes as stored in memory, lowest first (always 8 bytes).
std::string InstallStampBytes(double stamp);
// "*" and the same 8 bytes as 16 upper-case hexadecimal digits, high half of each byte first.
std::string StampLine(double stamp);
