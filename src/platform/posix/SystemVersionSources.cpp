#include "platform/posix/SystemVersionSources.h"

#include <sys/utsname.h>

#include "platform/posix/FileIo.h"

namespace platform {
namespace {

std::string FirstLine(const std::string& path) {
    std::string text;
    if (ReadFile(path, text) != 0) return {};
    const auto nl = text.find('\n');
    return nl == std::string::npos ? text : text.substr(0, nl);
}

std::string Unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) ++i;
        out.push_back(v[i]);
    }
    return out;
}

}  // namespace

std::string SystemVersionSources::UnameRelease() const {
    utsname u{};
    if (uname(&u) != 0) return {};
    return u.release;
}

std::string SystemVersionSources::OsReleaseFile() const { return FirstLine("/proc/sys/kernel/osrelease"); }

std::string SystemVersionSources::ProcVersion() const { return FirstLine("/proc/version"); }

std::string SystemVersionSources::DistributionName() const {
    std::string text;
    if (ReadFile("/etc/os-release", text) != 0 && ReadFile("/usr/lib/os-release", text) != 0) return {};
    return PrettyNameFromOsRelease(text);
}

std::string PrettyNameFromOsRelease(const std::string& text) {
    std::string pretty, name;
    size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        const std::string line = text.substr(pos, nl - pos);
        pos = nl + 1;
        if (line.rfind("PRETTY_NAME=", 0) == 0)
            pretty = Unquote(line.substr(12));
        else if (line.rfind("NAME=", 0) == 0)
            name = Unquote(line.substr(5));
    }
    return pretty.empty() ? name : pretty;
}

}  // namespace platform
