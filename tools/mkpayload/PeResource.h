// Finds a named resource of a named type in a PE file read into memory, without Windows:
// the release tools look at a built setup executable on the release machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

struct TResourceSpan {
    std::size_t Offset = 0; // in the file
    std::size_t Size = 0;
};

// Nothing when the file is no PE image or has no such resource; every offset is checked.
std::optional<TResourceSpan> FindPeResource(const std::uint8_t* image, std::size_t size,
                                            std::string_view type, std::string_view name);
