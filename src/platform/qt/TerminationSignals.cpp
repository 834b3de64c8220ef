#include "platform/qt/TerminationSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace platform {
namespace {

int gPipe[2] = {-1, -1};

void OnSignal(int sig) {
    const int saved = errno;
    const unsigned char b = static_cast<unsigned char>(sig);
    ssize_t rc = ::write(gPipe[0], &b, 1);
    (void)rc;
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() {
    if (notifier_ != nullptr) {
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) std::signal(sig, SIG_DFL);
    }
}

bool TerminationSignals::InstallHandlers(const char** failedCall, int* error) {
    static bool installed = false;
    if (installed) return true;
    if (gPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe) != 0) {
        *failedCall = "socketpair";
        *error = errno;
        return false;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        if (sigaction(sig, &sa, nullptr) != 0) {
            *failedCall = "sigaction";
            *error = errno;
            return false;
        }
    }
    installed = true;
    return true;
}

bool TerminationSignals::Install() {
    if (!InstallHandlers(&failedCall_, &error_)) return false;
    if (notifier_ == nullptr) {
        notifier_ = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
    }
    return true;
}

void TerminationSignals::OnReadable() {
    unsigned char b = 0;
    while (::read(gPipe[1], &b, 1) == 1) emit received(b);
}

}  // namespace platform
