#include "platform/posix/ThreadName.h"

#include <pthread.h>

#include <cstring>

namespace platform {
void SetCurrentThreadName(const char* name) {
    if (name == nullptr) return;
    char shortName[16] = {};
    std::strncpy(shortName, name, sizeof shortName - 1);
    pthread_setname_np(pthread_self(), shortName);
}
}  // namespace platform
