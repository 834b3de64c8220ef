#pragma once
// The three places this system states its kernel release, and the distribution's name.
// Each source gives its raw text, empty when it cannot be read.

#include <string>

namespace platform {

class ISystemVersionSources {
public:
    virtual ~ISystemVersionSources() = default;
    virtual std::string UnameRelease() const = 0;      // uname().release
    virtual std::string OsReleaseFile() const = 0;     // /proc/sys/kernel/osrelease
    virtual std::string ProcVersion() const = 0;       // /proc/version, whole line
    virtual std::string DistributionName() const = 0;  // PRETTY_NAME of os-release
};

class SystemVersionSources final : public ISystemVersionSources {
public:
    std::string UnameRelease() const override;
    std::string OsReleaseFile() const override;
    std::string ProcVersion() const override;
    std::string DistributionName() const override;
};

// PRETTY_NAME (else NAME) of an os-release file's text, unquoted; empty when neither is there.
std::string PrettyNameFromOsRelease(const std::string& text);

}  // namespace platform
