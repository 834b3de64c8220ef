#pragma once
// One connection to the X server, closed with the object. Errors the server reports for its requests
// are caught on this connection alone, instead of going to Xlib's process-wide handler (which ends the
// program), and kept with the name of the call that caused them until taken.
// Thread rule: one thread at a time uses a connection (the error hook runs on that thread, inside Xlib).

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <string>

namespace platform::x11 {

struct XRequestError {
    std::string call;  // the name given with Name() before the failing request
    int code = 0;      // the X error code, for example BadMatch
};

class XConnection {
public:
    XConnection();
    XConnection(XConnection&& other) noexcept;
    XConnection& operator=(XConnection&& other) noexcept;
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    ~XConnection();

    // Connects to $DISPLAY when name is null; an empty object when the server cannot be reached.
    static XConnection Open(const char* name = nullptr);

    explicit operator bool() const { return display() != nullptr; }
    Display* display() const;
    Window root() const;

    // Names the requests made from now on, for the errors they cause.
    void Name(const char* call);
    // The first error caught since the last take. Errors of requests without a reply are known only
    // once a later reply or the events have been read.
    std::optional<XRequestError> TakeError();
    // A round trip, so that every error of the requests made so far is known; then TakeError().
    std::optional<XRequestError> Sync();

    struct State;

private:
    void Close();

    std::unique_ptr<State> state_;
};

}  // namespace platform::x11
