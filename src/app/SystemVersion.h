#pragma once
// The version of the system the program runs on: the kernel release from three sources, the highest
// winning, and the distribution's name. Computed once; afterwards every thread reads the cached value.

#include <cstdint>
#include <string>

namespace platform {
class ISystemVersionSources;
}

struct WindowsVersion {
    uint32_t major = 0, minor = 0, build = 0, revision = 0;
    std::string release;  // the winning source's text, for example 6.1.0-28-amd64
    std::string name;     // the distribution, for example Debian GNU/Linux 12 (bookworm)

    // Compares the numbers: major, then minor, build, revision.
    bool operator<(const WindowsVersion& o) const;
};

// "6.1.0-28-amd64" gives 6.1.0.28; what does not parse stays 0.
WindowsVersion ParseKernelRelease(const std::string& release);
WindowsVersion ProbeWindowsVersion(const platform::ISystemVersionSources& sources);
const WindowsVersion& GetWindowsVersion();
// The system's name for the start-up line.
std::string WindowsName(const WindowsVersion& version);
