// Fixed texts of the wizard: page titles and the component table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ResConst {

inline constexpr const char* SetupTitle = "Sarvello Word Processor - Setup";
inline constexpr const char* ProductName = "Sarvello Word Processor";
inline constexpr const char* ProductVersion = "2.0.5.0";

// Page indices 0..7; 8 leaves the wizard and names no page.
inline constexpr std::uint8_t PageCount = 8;
inline constexpr std::uint8_t LeaveWizard = 8;

// Indexed by page index; the ninth title belongs to "leave the wizard" and is never shown.
extern const std::array<const char*, 9> PageTitles;

inline constexpr int ComponentCount = 6;
// A pattern list holds its patterns separated by a carriage return; a pattern ending in a
// backslash is a folder prefix, any other pattern names one payload entry.
extern const std::array<const char*, ComponentCount> ComponentNames;
extern const std::array<const char*, ComponentCount> ComponentPatterns;

} // namespace ResConst
