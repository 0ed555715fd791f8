// The setup's error types.
#pragma once

#include <exception>

// Ends the current event without a message: the failure of a file stream (for example an
// "Update.log" that cannot be written ends the finish step and leaves the wizard where it was).
class EAbort : public std::exception {
  public:
    const char* what() const noexcept override { return "EAbort"; }
};
