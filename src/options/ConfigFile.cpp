#include "options/ConfigFile.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <nlohmann/json.hpp>

#include "log/IDebugPrint.h"
#include "log/LogFailure.h"
#include "options/OptionRegistry.h"
#include "platform/posix/FileIo.h"
#include "platform/posix/LocalTime.h"
#include "platform/posix/Paths.h"
#include "platform/posix/SystemError.h"

namespace {

using json = nlohmann::json;

struct WalkError {};

int ToInt(const json& v) {
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    if (v.is_number_integer()) {
        if (v.is_number_unsigned()) {
            const auto u = v.get<json::number_unsigned_t>();
            return u > static_cast<json::number_unsigned_t>(INT_MAX) ? INT_MAX : static_cast<int>(u);
        }
        const auto i = v.get<json::number_integer_t>();
        return i > INT_MAX ? INT_MAX : i < INT_MIN ? INT_MIN : static_cast<int>(i);
    }
    if (v.is_number_float()) {
        const double d = v.get<double>();
        // Out-of-range values are clamped instead of converted with undefined results.
        if (!(d > static_cast<double>(INT_MIN))) return INT_MIN;
        if (!(d < static_cast<double>(INT_MAX))) return INT_MAX;
        return static_cast<int>(d);
    }
    throw WalkError{};
}

float ToFloat(const json& v) {
    if (v.is_boolean()) return v.get<bool>() ? 1.0f : 0.0f;
    if (!v.is_number()) throw WalkError{};
    const double d = v.get<double>();
    if (d > FLT_MAX) return FLT_MAX;
    if (d < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(d);
}

void LogErrno(const char* call, int code) {
    LogFailureText(LogTag::kNone, call, std::to_string(code) + " " + platform::ErrorText(code));
}

}  // namespace

void LoadConfig(const std::string& path, OptionRegistry* reg) {
    OptionRegistry& registry = reg != nullptr ? *reg : OptionRegistry::Instance();
    registry.configPath = path;
    registry.configUnreadable = false;

    // Saves stopped half-way (a kill) leave their temporary files; no other instance saves meanwhile.
    if (const int removed = platform::RemoveLeftTemporaries(path); removed > 0)
        Log() << "Removed " << removed << " temporary files of unfinished saves of " << path << LogEnd;

    std::string content;
    if (const int rc = platform::ReadFile(path, content); rc != 0) {
        Log() << "Cannot open file " << path << LogEnd;
        // A file that is there but cannot be read must not be replaced unseen by the next save.
        if (rc != ENOENT) registry.configUnreadable = platform::PathExists(path);
        return;
    }
    if (!ReadConfigText(content, registry)) {
        Log() << "Cannot read file " << path << LogEnd;
        registry.configUnreadable = true;
    }
}

bool ReadConfigText(const std::string& content, OptionRegistry& registry) {
    json doc;
    try {
        doc = json::parse(content);
    } catch (const json::exception&) {
        return false;
    }
    if (!doc.is_object()) return false;
    bool allRead = true;
    for (const auto& [key, v] : doc.items()) {
        // A member that cannot be read is skipped; the members after it still count.
        try {
            Option*& entry = registry.Entry(key);
            if (entry != nullptr) {
                if (!v.is_string()) throw WalkError{};
                entry->value = v.get<std::string>();
                continue;
            }
            if (v.is_number()) {
                registry.CreateFloat(key, ToFloat(v));
            } else if (v.is_string()) {
                registry.CreateText(key, v.get<std::string>());
            } else if (v.is_array() && v.size() == 2) {
                const int x = ToInt(v[0]), y = ToInt(v[1]);
                registry.CreatePair(key, x, y);
            } else if (v.is_array() && v.size() == 4) {
                const float r = ToFloat(v[0]), g = ToFloat(v[1]), b = ToFloat(v[2]), a = ToFloat(v[3]);
                registry.CreateColor(key, r, g, b, a);
            }
            // Anything else has no option kind and is dropped at the next save.
        } catch (const WalkError&) {
            Log() << "Cannot read option " << key << LogEnd;
            allRead = false;
        } catch (const json::exception&) {
            Log() << "Cannot read option " << key << LogEnd;
            allRead = false;
        }
    }
    return allRead;
}

std::string ConfigText(OptionRegistry& registry) {
    json doc = json::object();
    for (const auto& [key, option] : registry.entries()) {
        if (option == nullptr || (option->flags & Option::kTransient)) continue;
        option->Commit();
        doc[key] = option->value;
    }
    // Option texts may hold bytes that are not UTF-8 (a hand-edited file); they are replaced, not fatal.
    const std::string lf = doc.dump(1, '\t', false, json::error_handler_t::replace);
    std::string out;
    out.reserve(lf.size() + lf.size() / 16);
    for (char c : lf) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

bool SaveConfig(OptionRegistry* reg) {
    OptionRegistry& registry = reg != nullptr ? *reg : OptionRegistry::Instance();
    const std::string& path = registry.configPath;
    const std::string text = ConfigText(registry);
    if (path.empty()) {
        Log() << "Cannot open file " << path << LogEnd;
        return false;
    }
    if (registry.configUnreadable && platform::PathExists(path)) {
        // Never over an earlier kept copy: two bad starts in one second keep both. A link to a file
        // stays a link: the file behind it is kept aside, and the save writes a new one there.
        const std::string unreadable = platform::RegularFileBehindLinks(path);
        const std::string stamped = unreadable + ".corrupt-" + platform::UtcTimeStamp();
        std::string kept = stamped;
        int rc = platform::RenameNoReplace(unreadable, kept);
        for (int n = 2; rc == EEXIST && n <= 1000; ++n) {
            kept = stamped + "-" + std::to_string(n);
            rc = platform::RenameNoReplace(unreadable, kept);
        }
        if (rc != 0) {
            Log() << "Cannot open file " << path << LogEnd;
            LogErrno("renameat2", rc);
            return false;  // the unreadable file stays as it is rather than being lost
        }
        Log() << "Unreadable configuration kept as " << kept << LogEnd;
        registry.configUnreadable = false;
    }
    std::string failedCall;
    if (const int rc = platform::ReplaceFileAtomically(path, text, &failedCall); rc != 0) {
        Log() << "Cannot open file " << path << LogEnd;
        LogErrno(failedCall.c_str(), rc);
        return false;
    }
    return true;
}
