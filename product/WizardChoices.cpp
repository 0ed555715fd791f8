#include "product/WizardChoices.h"

std::array<std::uint8_t, ComponentRowCount> CheckStatesFromMask(std::uint32_t mask) {
    std::array<std::uint8_t, ComponentRowCount> states{};
    for (int i = 0; i < ComponentRowCount; ++i)
        states[i] = (mask >> i) & 1u ? Checked : Unchecked;
    states[0] = Grayed;
    return states;
}

std::uint8_t
SelectedComponentsFromCheckStates(const std::array<std::uint8_t, ComponentRowCount>& states) {
    std::uint8_t selected = 0;
    for (int i = 0; i < ComponentRowCount; ++i)
        if (states[i] != Unchecked) selected |= static_cast<std::uint8_t>(1u << i);
    return selected;
}

std::uint32_t CompsMaskFromCheckStates(std::uint32_t oldMask,
                                       const std::array<std::uint8_t, ComponentRowCount>& states) {
    std::uint32_t mask = oldMask;
    for (int i = 0; i < ComponentRowCount; ++i) {
        if (states[i] == Checked)
            mask |= 1u << i;
        else
            mask &= ~(1u << i);
    }
    return mask;
}
