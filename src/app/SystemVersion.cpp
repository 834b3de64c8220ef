#include "app/SystemVersion.h"

#include <tuple>

#include "platform/posix/SystemVersionSources.h"

bool WindowsVersion::operator<(const WindowsVersion& o) const {
    return std::tie(major, minor, build, revision) < std::tie(o.major, o.minor, o.build, o.revision);
}

namespace {

bool ReadNumber(const std::string& s, size_t& pos, uint32_t& out) {
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return false;
    uint64_t v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10 + static_cast<uint64_t>(s[pos] - '0');
        if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
        ++pos;
    }
    out = static_cast<uint32_t>(v);
    return true;
}

// "Linux version 6.1.0-28-amd64 (builder@host) #1 SMP ..." gives "6.1.0-28-amd64".
std::string ReleaseFromProcVersion(const std::string& line) {
    const std::string marker = "version ";
    const auto at = line.find(marker);
    if (at == std::string::npos) return {};
    const auto start = at + marker.size();
    const auto end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

WindowsVersion ParseKernelRelease(const std::string& release) {
    WindowsVersion v;
    v.release = release;
    size_t pos = 0;
    uint32_t* fields[3] = {&v.major, &v.minor, &v.build};
    for (int i = 0; i < 3; ++i) {
        if (!ReadNumber(release, pos, *fields[i])) return v;
        if (i < 2) {
            if (pos >= release.size() || release[pos] != '.') return v;
            ++pos;
        }
    }
    // The distribution's build of that release: "-28" in 6.1.0-28-amd64.
    if (pos < release.size() && (release[pos] == '-' || release[pos] == '+')) {
        ++pos;
        ReadNumber(release, pos, v.revision);
    }
    return v;
}

WindowsVersion ProbeWindowsVersion(const platform::ISystemVersionSources& sources) {
    WindowsVersion best = ParseKernelRelease(sources.UnameRelease());
    const WindowsVersion file = ParseKernelRelease(sources.OsReleaseFile());
    if (best < file) best = file;
    const WindowsVersion proc = ParseKernelRelease(ReleaseFromProcVersion(sources.ProcVersion()));
    if (best < proc) best = proc;
    best.name = sources.DistributionName();
    return best;
}

const WindowsVersion& GetWindowsVersion() {
    static const WindowsVersion cached = ProbeWindowsVersion(platform::SystemVersionSources());
    return cached;
}

std::string WindowsName(const WindowsVersion& version) { return version.name; }
