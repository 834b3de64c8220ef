#include "log/LogFailure.h"

#include "log/IDebugPrint.h"

void LogFailure(const char* tag, const std::string& call, long code) {
    Log() << LogError << tag << "[Error] " << call << " : " << code << LogEnd;
}

void LogFailureHex(const char* tag, const std::string& call, unsigned code) {
    Log() << LogError << tag << "[Error] " << call << " : " << LogHex << code << LogEnd;
}

void LogFailureText(const char* tag, const std::string& call, const std::string& result) {
    Log() << LogError << tag << "[Error] " << call << " : " << result << LogEnd;
}

bool FailureStretch::Failed(const char* tag, const CallFailure& f) {
    if (failing_) return false;
    failing_ = true;
    LogFailure(tag, f);
    return true;
}
