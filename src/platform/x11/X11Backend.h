#pragma once
// The back end of an X11 desktop.

#include <memory>

#include "platform/Backend.h"

namespace platform {

std::unique_ptr<IBackend> MakeX11Backend();

}  // namespace platform
