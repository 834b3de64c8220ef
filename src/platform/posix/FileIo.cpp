#include "platform/posix/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
    std::string tmpl = path + ".XXXXXX";
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
    if (::rename(tmp.c_str(), path.c_str()) != 0) return failAndRemove("rename", errno);
    // The rename itself is durable only once the folder is synced.
    Fd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return 0;
}

int ReadFile(const std::string& path, std::string& out) {
    out.clear();
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return errno;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    return 0;
}

int RenameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace platform
