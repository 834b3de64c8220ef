#include "platform/posix/Paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

std::string AbsoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr || v[0] != '/') return {};
    std::string s(v);
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string ExecutablePath() {
    std::vector<char> buf(4096);
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    return std::string(buf.data(), static_cast<size_t>(n));
}

std::string HomeFolder() {
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
    return {};
}

std::string ConfigHome() {
    std::string v = AbsoluteEnv("XDG_CONFIG_HOME");
    if (!v.empty()) return v;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string StateHome() {
    std::string v = AbsoluteEnv("XDG_STATE_HOME");
    if (!v.empty()) return v;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/state";
}

std::string RuntimeFolder() {
    std::string v = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (!v.empty() && IsDirectory(v)) return v;
    // Same fallback idea as Qt's: a private folder per user.
    std::string dir = "/tmp/runtime-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return {};
    return dir;
}

std::string DocumentsFolder() {
    FILE* p = popen("xdg-user-dir DOCUMENTS 2>/dev/null", "r");
    if (p == nullptr) return {};
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    const int rc = pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    if (rc != 0 || out.empty() || out[0] != '/') return {};
    return out;
}

std::string UserName() {
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_name != nullptr) return pw->pw_name;
    if (const char* u = std::getenv("USER"); u != nullptr) return u;
    return {};
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

int MakeDirectory(const std::string& path, unsigned mode) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return mkdir(p.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int MakeDirectoryPath(const std::string& path, unsigned mode) {
    if (path.empty()) return ENOENT;
    if (IsDirectory(path)) return 0;
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        const std::string part = path.substr(0, pos);
        if (IsDirectory(part)) continue;
        if (mkdir(part.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return errno;
    }
    return IsDirectory(path) ? 0 : ENOTDIR;
}

int SetPermissions(const std::string& path, unsigned mode) {
    return chmod(path.c_str(), static_cast<mode_t>(mode)) == 0 ? 0 : errno;
}

int Permissions(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int>(st.st_mode & 07777);
}

}  // namespace platform
