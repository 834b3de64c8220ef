#pragma once
// A failure of a frame source's construction: the step's message and its result code, shown as
// "%s : %04X".

#include <stdexcept>
#include <string>

class HRError : public std::runtime_error {
public:
    HRError(const std::string& message, unsigned code);
    unsigned code() const { return code_; }

private:
    unsigned code_;
};
