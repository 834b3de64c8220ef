#pragma once
// The program's diagnostic log. A line is composed by chained appends on the calling thread and written
// in one step by EndLine. Error lines set Level(2) first; result codes of system calls are appended in
// decimal, hexadecimal codes after NumberFormat(1).

#include <sstream>
#include <string>

class IDebugPrint {
public:
    enum Level { kInfo = 0, kWarning = 1, kError = 2 };
    enum NumberFormat { kDecimal = 0, kHex = 1 };

    virtual ~IDebugPrint() = default;

    virtual IDebugPrint& operator<<(double v) = 0;              // "%.3f"
    virtual IDebugPrint& operator<<(unsigned int v) = 0;        // in the line's number format
    virtual IDebugPrint& operator<<(int v) = 0;                 // in the line's number format
    virtual IDebugPrint& operator<<(unsigned long v) = 0;       // "%08X%08X", high half first
    virtual IDebugPrint& operator<<(unsigned long long v) = 0;  // as unsigned long
    virtual IDebugPrint& operator<<(long v) = 0;                // in the line's number format
    virtual IDebugPrint& operator<<(bool v) = 0;                // "%d" whatever the number format
    virtual IDebugPrint& operator<<(const char* utf8) = 0;
    virtual IDebugPrint& operator<<(const char16_t* text) = 0;
    virtual IDebugPrint& operator<<(const std::u16string& text) = 0;
    virtual IDebugPrint& operator<<(const std::string& utf8) = 0;
    virtual IDebugPrint& operator<<(const std::basic_ostringstream<char16_t>& stream) = 0;

    // name: names the cross-process lock (name + "LogMutex"); tag: the tag column (null: the name).
    virtual bool Init(const char16_t* name, const std::string& path, const char16_t* tag, bool startNew) = 0;
    virtual void Close() = 0;
    // Replaces the line by the formatted text (UTF-8 format, at most 4096 code units) and writes it.
    virtual void Printf(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;
    virtual void Separator(const char* title) = 0;
    virtual bool Lock() = 0;
    virtual void Unlock() = 0;
    virtual int IsInitialized() const = 0;
    virtual std::string GetLogPath() const = 0;

    virtual IDebugPrint& SetLevel(int level) = 0;
    virtual IDebugPrint& SetNumberFormat(int format) = 0;
    virtual IDebugPrint& AppendChar(char16_t c) = 0;
    virtual void WriteLine(bool noTag) = 0;
    virtual void EndLine() = 0;

    // Manipulators, so a whole line reads as one chain: Log() << "x" << LogEnd;
    IDebugPrint& operator<<(void (*manip)(IDebugPrint&)) {
        manip(*this);
        return *this;
    }
};

inline void LogEnd(IDebugPrint& log) { log.EndLine(); }
inline void LogError(IDebugPrint& log) { log.SetLevel(IDebugPrint::kError); }
inline void LogHex(IDebugPrint& log) { log.SetNumberFormat(IDebugPrint::kHex); }

// The one log of the process, usable from static initialisation on.
IDebugPrint& Log();
