#pragma once
// The log written to one UTF-16LE file (with byte-order mark, CR LF lines), shared with other processes
// through a cross-process lock; the file is opened, appended to and closed for every line.

#include <mutex>

#include "log/IDebugPrint.h"
#include "platform/posix/CrossProcessLock.h"

class CDebugPrint final : public IDebugPrint {
public:
    static constexpr size_t kLineCapacity = 4096;  // code units, terminator included
    static constexpr int kLockWaitMs = 1000;

    CDebugPrint() = default;

    IDebugPrint& operator<<(double v) override;
    IDebugPrint& operator<<(unsigned int v) override;
    IDebugPrint& operator<<(int v) override;
    IDebugPrint& operator<<(unsigned long v) override;
    IDebugPrint& operator<<(unsigned long long v) override;
    IDebugPrint& operator<<(long v) override;
    IDebugPrint& operator<<(bool v) override;
    IDebugPrint& operator<<(const char* utf8) override;
    IDebugPrint& operator<<(const char16_t* text) override;
    IDebugPrint& operator<<(const std::u16string& text) override;
    IDebugPrint& operator<<(const std::string& utf8) override;
    IDebugPrint& operator<<(const std::basic_ostringstream<char16_t>& stream) override;
    using IDebugPrint::operator<<;

    bool Init(const char16_t* name, const std::string& path, const char16_t* tag, bool startNew) override;
    void Close() override;
    void Printf(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void Separator(const char* title) override;
    bool Lock() override;
    void Unlock() override;
    int IsInitialized() const override;
    std::string GetLogPath() const override;

    IDebugPrint& SetLevel(int level) override;
    IDebugPrint& SetNumberFormat(int format) override;
    IDebugPrint& AppendChar(char16_t c) override;
    void WriteLine(bool noTag) override;
    void EndLine() override;

    // The tag column's text for a given tag: cut to 21 characters and "..." when longer than 20.
    static std::u16string TagText(const std::u16string& tag);
    // Where the cross-process lock of a log name lives.
    static std::string LockPath(const std::u16string& name);

private:
    IDebugPrint& AppendText(std::u16string_view text);

    mutable std::mutex fieldsLock_;  // guards the fields below against Init/Close racing with writers
    int initialized_ = 0;
    std::string path_;
    std::u16string tag_;
    platform::CrossProcessLock lock_;
};
