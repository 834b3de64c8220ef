#include "log/CDebugPrint.h"

#include <cstdarg>
#include <cstdio>

#include "platform/posix/DebugOutput.h"
#include "platform/posix/FileIo.h"
#include "platform/posix/LocalTime.h"
#include "platform/posix/Paths.h"
#include "text/WideText.h"

namespace {

// The line being composed by this thread, with its level and number format.
struct ThreadLine {
    char16_t text[CDebugPrint::kLineCapacity];
    size_t length = 0;
    int level = 0;
    int format = 0;
};

ThreadLine& Line() {
    thread_local ThreadLine line;
    return line;
}

void ResetLine() {
    ThreadLine& l = Line();
    l.length = 0;
    l.level = 0;
    l.format = 0;
}

std::u16string Ascii(const char* s) {
    std::u16string out;
    for (; *s != '\0'; ++s) out.push_back(static_cast<unsigned char>(*s));
    return out;
}

std::string Utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

}  // namespace

IDebugPrint& Log() {
    static CDebugPrint instance;
    return instance;
}

IDebugPrint& CDebugPrint::AppendText(std::u16string_view text) {
    ThreadLine& l = Line();
    // One unit stays free for the terminator of the original; longer content is cut, never overrun.
    const size_t room = kLineCapacity - 1 - l.length;
    const size_t n = text.size() < room ? text.size() : room;
    text.copy(l.text + l.length, n);
    l.length += n;
    return *this;
}

IDebugPrint& CDebugPrint::AppendChar(char16_t c) { return AppendText(std::u16string_view(&c, 1)); }

IDebugPrint& CDebugPrint::operator<<(double v) {
    char buf[512];
    snprintf(buf, sizeof buf, "%.3f", v);
    return AppendText(Ascii(buf));
}

IDebugPrint& CDebugPrint::operator<<(unsigned int v) {
    char buf[32];
    snprintf(buf, sizeof buf, Line().format == kHex ? "%08X" : "%u", v);
    return AppendText(Ascii(buf));
}

IDebugPrint& CDebugPrint::operator<<(int v) {
    char buf[32];
    if (Line().format == kHex) {
        snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(v));
    } else {
        snprintf(buf, sizeof buf, "%d", v);
    }
    return AppendText(Ascii(buf));
}

IDebugPrint& CDebugPrint::operator<<(unsigned long v) {
    char buf[32];
    snprintf(buf, sizeof buf, "%08X%08X", static_cast<unsigned>(v >> 32),
             static_cast<unsigned>(v & 0xFFFFFFFFu));
    return AppendText(Ascii(buf));
}

IDebugPrint& CDebugPrint::operator<<(unsigned long long v) { return *this << static_cast<unsigned long>(v); }

IDebugPrint& CDebugPrint::operator<<(long v) {
    char buf[32];
    if (Line().format == kHex) {
        snprintf(buf, sizeof buf, "%08lX", static_cast<unsigned long>(v));
    } else {
        snprintf(buf, sizeof buf, "%ld", v);
    }
    return AppendText(Ascii(buf));
}

IDebugPrint& CDebugPrint::operator<<(bool v) { return AppendText(v ? u"1" : u"0"); }

IDebugPrint& CDebugPrint::operator<<(const char* utf8) {
    if (utf8 == nullptr) return *this;
    return AppendText(text::ToWide(utf8));
}

IDebugPrint& CDebugPrint::operator<<(const char16_t* t) {
    if (t == nullptr) return *this;
    return AppendText(std::u16string_view(t));
}

IDebugPrint& CDebugPrint::operator<<(const std::u16string& t) { return AppendText(t); }

IDebugPrint& CDebugPrint::operator<<(const std::string& utf8) { return AppendText(text::ToWide(utf8)); }

IDebugPrint& CDebugPrint::operator<<(const std::basic_ostringstream<char16_t>& stream) {
    return AppendText(stream.str());
}

IDebugPrint& CDebugPrint::SetLevel(int level) {
    Line().level = level;
    return *this;
}

IDebugPrint& CDebugPrint::SetNumberFormat(int format) {
    Line().format = format;
    return *this;
}

std::u16string CDebugPrint::TagText(const std::u16string& tag) {
    if (tag.size() > 20) return tag.substr(0, 21) + u"...";
    return tag;
}

std::string CDebugPrint::LockPath(const std::u16string& name) {
    const std::string folder = platform::RuntimeFolder();
    if (folder.empty()) return {};
    return folder + "/" + text::ToNarrow(name) + "LogMutex.lock";
}

bool CDebugPrint::Init(const char16_t* name, const std::string& path, const char16_t* tag, bool startNew) {
    const std::u16string logName = name != nullptr ? name : u"";
    std::lock_guard guard(fieldsLock_);
    path_ = path;
    tag_ = tag != nullptr ? TagText(tag) : logName;
    const std::string lockPath = LockPath(logName);
    if (lockPath.empty() || lock_.Open(lockPath) != 0) return false;
    if (startNew) {
        // A failure to create the file is silent: its lines are then lost one by one.
        const std::u16string head =
            u"\xFEFF"
            u"Log file is initialized\r\n";
        platform::WriteFileTruncate(path_, Utf16LeBytes(head));
    }
    // Files and the lock are the user's own (0600), also a log file that was there with other rights.
    platform::SetPermissions(path_, 0600);
    ResetLine();
    initialized_ = 1;
    return true;
}

void CDebugPrint::Close() {
    std::lock_guard guard(fieldsLock_);
    lock_.Close();
}

bool CDebugPrint::Lock() {
    switch (lock_.Lock(kLockWaitMs)) {
        case platform::CrossProcessLock::Result::Owned:
            return true;
        case platform::CrossProcessLock::Result::Timeout:
            platform::DebugOutput("Wait log mutex timeout\n");
            return false;
        case platform::CrossProcessLock::Result::Failed: {
            char buf[64];
            snprintf(buf, sizeof buf, "Wait log mutex error %d\n", lock_.error());
            platform::DebugOutput(buf);
            return false;
        }
        case platform::CrossProcessLock::Result::NoLock:
            break;
    }
    return false;
}

void CDebugPrint::Unlock() { lock_.Unlock(); }

int CDebugPrint::IsInitialized() const {
    std::lock_guard guard(fieldsLock_);
    return initialized_;
}

std::string CDebugPrint::GetLogPath() const {
    std::lock_guard guard(fieldsLock_);
    return path_;
}

void CDebugPrint::WriteLine(bool noTag) {
    ThreadLine& l = Line();
    const platform::LocalTime t = platform::LocalTimeNow();
    char head[64];
    snprintf(head, sizeof head, "%02d:%02d:%02d.%03d ", t.hour, t.minute, t.second, t.millisecond);
    std::u16string out = Ascii(head);
    std::string path;
    {
        std::lock_guard guard(fieldsLock_);
        if (!noTag) {
            const size_t pad = tag_.size() < 23 ? 23 - tag_.size() : 0;
            out += u"[ " + std::u16string(pad, u' ') + tag_ + u" ] ";
        }
        path = path_;
    }
    if (l.level == kWarning) out += u" [WARNING] ";
    if (l.level == kError) out += u" [ERROR] ";
    out.append(l.text, l.length);
    ResetLine();
    if (Lock()) {
        platform::AppendFile(path, Utf16LeBytes(out));  // a line that cannot be written is lost
        Unlock();
    }
}

void CDebugPrint::EndLine() {
    // CR LF always ends the line, even when its content filled the buffer.
    ThreadLine& l = Line();
    if (l.length > kLineCapacity - 3) l.length = kLineCapacity - 3;
    AppendChar(u'\r');
    AppendChar(u'\n');
    WriteLine(false);
}

void CDebugPrint::Printf(const char* format, ...) {
    char buf[kLineCapacity];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    const int level = Line().level;
    ResetLine();
    Line().level = level;
    AppendText(text::ToWide(buf));
    ThreadLine& l = Line();
    if (l.length == 0 || l.text[l.length - 1] != u'\n')
        EndLine();
    else
        WriteLine(false);
}

void CDebugPrint::Separator(const char* title) {
    static const std::u16string kDashes(63, u'-');
    std::u16string s;
    if (title != nullptr && title[0] != '\0') {
        s = u"--- " + text::ToWide(title) + u" ";
        // Dashes fill the line to 63 characters (none when it has them already); a longer text gets
        // all 63.
        s += s.size() <= 63 ? kDashes.substr(0, 63 - s.size()) : kDashes;
    } else {
        s = kDashes;
    }
    ResetLine();
    AppendText(s);
    AppendChar(u'\r');
    AppendChar(u'\n');
    WriteLine(true);
}
