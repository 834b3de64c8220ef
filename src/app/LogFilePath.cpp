#include "app/LogFilePath.h"

#include <cstdio>

#include "app/AppFolders.h"
#include "platform/posix/LocalTime.h"
#include "platform/posix/Paths.h"

std::string LogFilePath(const std::string& value) {
    if (value == "mydocs") {
        std::string docs = platform::DocumentsFolder();
        if (docs.empty()) docs = platform::HomeFolder();
        return docs + "/Lentora.txt";
    }
    if (!value.empty() && value.back() == '/') {
        if (!platform::IsDirectory(value)) CreateFolder(value);
        return value + "Lentora.txt";
    }
    if (!value.empty()) {
        if (platform::IsDirectory(value)) return value + "/Lentora.txt";
        return value;
    }
    const std::string folder = AppStatePath("logs");
    if (folder.empty()) return {};
    // The state folder and the program's folder in it may not exist yet; logs/ is the level that
    // CreateFolder reports about.
    platform::MakeDirectoryPath(AppStatePath(""), 0700);
    if (!platform::IsDirectory(folder)) CreateFolder(folder);
    // Folders made by an earlier version or by hand may be open to others: the program's own are not.
    platform::SetPermissions(AppStatePath(""), 0700);
    platform::SetPermissions(folder, 0700);
    const platform::LocalTime t = platform::LocalTimeNow();
    char name[64];
    snprintf(name, sizeof name, "Lorx-log-%04d-%02d-%02d-%02d-%02d-%02d.txt", t.year, t.month, t.day, t.hour,
             t.minute, t.second);
    return folder + "/" + name;
}
