#include "platform/posix/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace platform {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the result, so a failing close is not lost.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a save must write: the file a symbolic link points to (followed to the end, relative targets
// taken from the link's folder), or path itself.
std::string WriteTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> buf(PATH_MAX + 1);
        const ssize_t n = ::readlink(current.c_str(), buf.data(), PATH_MAX);
        if (n <= 0) return current;
        const std::string target(buf.data(), static_cast<size_t>(n));
        current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
    return current;  // a loop of links: the rename then fails and says why
}

}  // namespace

int AppendFile(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (fd.get() < 0) return errno;
    if (int rc = WriteAll(fd.get(), bytes)) return rc;
    return fd.Close();
}

int WriteFileTruncate(const std::string& path, std::string_view bytes) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0600));
    if (fd.get() < 0) return errno;
    if (int rc = WriteAll(fd.get(), bytes)) return rc;
    return fd.Close();
}

int ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* failedCall) {
    auto fail = [&](const char* call, int code) {
        if (failedCall != nullptr) *failedCall = call;
        return code;
    };
    if (path.empty()) return fail("open", ENOENT);
    const std::string target = WriteTarget(path);
    std::string tmpl = target + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    Fd fd(::mkostemp(name.data(), O_CLOEXEC));  // mkostemp creates the file 0600
    if (fd.get() < 0) return fail("mkostemp", errno);
    const std::string tmp(name.data());
    auto failAndRemove = [&](const char* call, int code) {
        ::unlink(tmp.c_str());
        return fail(call, code);
    };
    if (int rc = WriteAll(fd.get(), bytes)) return failAndRemove("write", rc);
    if (::fsync(fd.get()) != 0) return failAndRemove("fsync", errno);
    if (int rc = fd.Close()) return failAndRemove("close", rc);
    if (::rename(tmp.c_str(), target.c_str()) != 0) return failAndRemove("rename", errno);
    // The rename itself is durable only once the folder is synced.
    Fd dir(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return 0;
}

int ReadFile(const std::string& path, std::string& out, size_t maxBytes) {
    out.clear();
    // Non-blocking: opening a FIFO would otherwise wait for a writer forever.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) return EFBIG;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        if (out.size() + static_cast<size_t>(n) > maxBytes) return EFBIG;  // grew while read
        out.append(buf, static_cast<size_t>(n));
    }
    return 0;
}

int RenameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

std::string RegularFileBehindLinks(const std::string& path) {
    const std::string target = WriteTarget(path);
    struct stat st {};
    return ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? target : path;
}

int RemoveLeftTemporaries(const std::string& path) {
    // Beside the file a save writes, which for a link is where it points.
    const std::string target = WriteTarget(path);
    const std::string folder = FolderOf(target), prefix = NameOf(target) + ".";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        bool ours = true;
        for (size_t i = prefix.size(); i < name.size(); ++i)
            ours = ours && std::isalnum(static_cast<unsigned char>(name[i])) != 0;
        const std::string full = folder + "/" + name;
        struct stat st {};
        if (!ours || ::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace platform
