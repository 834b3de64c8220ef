#pragma once
// The program's icon in every size it ships, from the program's resources. Null (after the log line)
// when the resources hold none.

#include <QIcon>

QIcon ProgramIcon();
