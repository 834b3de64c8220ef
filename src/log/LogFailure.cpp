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

void LogFailureMessage(const char* tag, const std::string& message) {
    Log() << LogError << tag << "[Error] " << message << LogEnd;
}

void LogFailureNote(const char* tag, const std::string& call, long code) {
    Log() << tag << "[Error] " << call << " : " << code << LogEnd;
}

bool FailureStretch::Failed(const char* tag, const CallFailure& f) {
    if (failing_) return false;
    failing_ = true;
    LogFailure(tag, f);
    return true;
}
