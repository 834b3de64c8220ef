#include "platform/Backend.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/null/NullBackend.h"
#include "platform/x11/X11Backend.h"

namespace platform {
namespace {

std::mutex gChoiceLock;
std::unique_ptr<IBackend> gChosen;  // guarded by gChoiceLock while it is chosen; then read-only

std::unique_ptr<IBackend> Choose() {
    const char* wanted = std::getenv("LENTORA_PLATFORM");
    if (wanted != nullptr && std::strcmp(wanted, "null") == 0) return std::make_unique<NullBackend>();
    return MakeX11Backend();
}

}  // namespace

IBackend& Backend() {
    std::lock_guard lock(gChoiceLock);
    if (!gChosen) gChosen = Choose();
    return *gChosen;
}

void SetBackend(std::unique_ptr<IBackend> backend) {
    std::lock_guard lock(gChoiceLock);
    gChosen = std::move(backend);
}

}  // namespace platform
