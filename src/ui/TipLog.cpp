#include "ui/TipLog.h"

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"

void LogMissingTip(const QString& buttonName) {
    Log() << LogTag::kApp << " FindName <" << (buttonName + QStringLiteral("Content")).toStdString()
          << "> failed" << LogEnd;
}
