#pragma once
#include <QString>

// A page's tip button whose teaching tip is not on the page: the log says which.
void LogMissingTip(const QString& buttonName);
