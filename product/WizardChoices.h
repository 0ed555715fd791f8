// The wizard's choices that the product operations read and write. The form holds one and
// passes it in, so every operation runs without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr std::uint32_t DefaultCompsMask = 0x7FFFFFFF;
// What "LastRunVer" reads as when the main program has never run.
inline constexpr std::int32_t MissingLastRunVersion = 0x7FFFFFFF;
inline constexpr int ComponentRowCount = 6;
inline constexpr int AssocBoxCount = 4;

// Check states of the component rows.
inline constexpr std::uint8_t Unchecked = 0;
inline constexpr std::uint8_t Checked = 1;
inline constexpr std::uint8_t Grayed = 2;

struct TWizardChoices {
    std::string DestDir;
    // Bit i: component i ticked; bits 6..31 carry nothing and are kept as read.
    std::uint32_t CompsMask = DefaultCompsMask;
    bool InstallToAll = true; // "Install for anyone who uses this computer"
    // Association letters "A".."D", one per document type.
    std::string Extensions = "B";
    bool Launch = true; // "Launch Sarvello Word Processor" on the finish page
    std::int32_t LastRunVersion = MissingLastRunVersion;
    // Row i of the components list shows component i; row 0 (the main program) stays grayed.
    std::array<std::uint8_t, ComponentRowCount> CheckStates{Grayed};
    // Bit i: component i is installed by this run (filled when copying starts).
    std::uint8_t SelectedComponents = 0;
    // Date-time of this installation; stays 0 in portable mode.
    double InstallStamp = 0;
    // The four boxes of the associations page: RTF, COD, DOC, DOCX.
    std::array<bool, AssocBoxCount> AssocChecked{};
};

// Row i checked when bit i of mask is set; row 0 grayed whatever the mask says.
std::array<std::uint8_t, ComponentRowCount> CheckStatesFromMask(std::uint32_t mask);
// Every row that is checked or grayed counts as chosen; the grayed main program always does.
std::uint8_t
SelectedComponentsFromCheckStates(const std::array<std::uint8_t, ComponentRowCount>& states);
// Bits 0..5 from the rows (only a checked row sets its bit), bits 6..31 from oldMask.
std::uint32_t CompsMaskFromCheckStates(std::uint32_t oldMask,
                                       const std::array<std::uint8_t, ComponentRowCount>& states);
