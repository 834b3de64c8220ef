#include "shell/ProgramIcon.h"

#include <QFile>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"

// Outside any namespace, as the resource's initialiser is.
static void InitIconResources() { Q_INIT_RESOURCE(lentora); }

QIcon ProgramIcon() {
    InitIconResources();
    QIcon icon;
    for (const char* size : {"16x16", "32x32", "48x48", "128x128", "256x256"}) {
        const QString path = QStringLiteral(":/icons/%1/com.lorx.Lentora.png").arg(QLatin1String(size));
        if (QFile::exists(path)) icon.addFile(path);
    }
    if (icon.isNull()) LogFailureText(LogTag::kApp, "Load program icon", "no icon found");
    return icon;
}
