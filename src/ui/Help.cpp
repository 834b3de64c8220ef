#include "ui/Help.h"

#include "localization/VersionText.h"

QString Help::Version() const { return QString::fromStdU16String(AppVersionText()); }
