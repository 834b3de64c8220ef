#include "platform/x11/X11KeyState.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/x11/VirtualKeyMap.h"
#include "platform/x11/XConnection.h"

namespace platform {
namespace {

class X11KeyState final : public IKeyState {
public:
    explicit X11KeyState(const std::string& displayName);

    bool Read(KeySnapshot& snapshot) override;
    KeyStateError TakeError() override;
    int EventFd() const override { return connection_ ? ConnectionNumber(connection_.display()) : -1; }
    void TakeTransitions(std::vector<KeyTransition>& out) override;

private:
    static constexpr size_t kKeycodesPerCode = 3;

    void MapKeys();
    void SelectRawEvents();
    // Takes every event that has arrived, without waiting: raw key and button events become
    // transitions, keyboard mapping changes (a layout switch, xmodmap) map the keys again.
    void ReadEvents();
    void AddTransitions(int type, int detail);
    void FindPointers();
    bool ReadButtons(uint32_t& buttons);
    // Keeps the first of a run of failures for TakeError; always false.
    bool Fail(const char* call, int code);
    bool Failed(const char* call);

    x11::XConnection connection_;
    int openError_ = 0;
    bool xi2_ = false;
    int xiOpcode_ = 0;
    bool rawEvents_ = false;
    std::vector<KeyTransition> transitions_;  // read, not yet taken
    std::vector<int> masterPointers_;         // empty: the core pointer, buttons 1-5 only
    bool pointersStale_ = true;
    std::array<std::array<uint8_t, kKeycodesPerCode>, KeySnapshot::kCodes> keycodes_{};  // 0 = none
    KeyStateError pending_;
    bool failing_ = false;
};

X11KeyState::X11KeyState(const std::string& displayName) {
    errno = 0;
    connection_ = x11::XConnection::Open(displayName.empty() ? nullptr : displayName.c_str());
    if (!connection_) {
        openError_ = errno;
        Fail("XOpenDisplay", openError_);
        return;
    }
    Display* d = connection_.display();
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(d, "XInputExtension", &opcode, &event, &error)) {
        Fail("XQueryExtension", 0);  // the side buttons then read as up
    } else {
        // 2.2: raw events reach the root window whatever grabs other programs hold (2.1 on).
        int major = 2, minor = 2;
        connection_.Name("XIQueryVersion");
        const Status s = XIQueryVersion(d, &major, &minor);
        if (const auto e = connection_.TakeError()) {
            Fail("XIQueryVersion", e->code);
        } else if (s != Success || major < 2) {
            Fail("XIQueryVersion", s);
        } else {
            xi2_ = true;
            xiOpcode_ = opcode;
            if (major > 2 || minor >= 1) SelectRawEvents();
        }
    }
    MapKeys();
}

// Raw events of every master device, on the root: seen whichever window has the focus, without a grab,
// so other programs keep their input.
void X11KeyState::SelectRawEvents() {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    connection_.Name("XISelectEvents");
    XISelectEvents(connection_.display(), connection_.root(), &mask, 1);
    if (const auto e = connection_.Sync()) {
        Fail("XISelectEvents", e->code);  // the polls alone then see the keys
        return;
    }
    rawEvents_ = true;
}

KeyStateError X11KeyState::TakeError() { return std::exchange(pending_, KeyStateError{}); }

bool X11KeyState::Fail(const char* call, int code) {
    if (!failing_) pending_ = KeyStateError{call, code};
    failing_ = true;
    return false;
}

bool X11KeyState::Failed(const char* call) {
    const auto e = connection_.TakeError();
    if (e) Fail(call, e->code);
    return e.has_value();
}

void X11KeyState::MapKeys() {
    Display* d = connection_.display();
    connection_.Name("XKeysymToKeycode");
    for (int vk = 0; vk < KeySnapshot::kCodes; ++vk) {
        std::array<uint8_t, kKeycodesPerCode>& codes = keycodes_[static_cast<size_t>(vk)];
        codes.fill(0);
        size_t n = 0;
        for (const unsigned long keysym : x11::KeysymsForVirtualKey(vk)) {
            const KeyCode kc = XKeysymToKeycode(d, keysym);
            bool known = kc == 0;
            for (size_t i = 0; i < n; ++i) known = known || codes[i] == kc;
            if (!known && n < codes.size()) codes[n++] = kc;
        }
    }
    Failed("XKeysymToKeycode");
}

// The server tells every client of keyboard mapping changes; nothing else reads this connection's
// events, so they are all taken here.
void X11KeyState::ReadEvents() {
    Display* d = connection_.display();
    bool remap = false;
    while (XEventsQueued(d, QueuedAfterReading) > 0) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
            remap = remap || ev.xmapping.request == MappingKeyboard;
            continue;
        }
        if (ev.type != GenericEvent || ev.xcookie.extension != xiOpcode_) continue;
        if (!XGetEventData(d, &ev.xcookie)) continue;
        const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
        // A mapping change read in this same batch applies to the keys that follow it.
        if (remap) {
            MapKeys();
            remap = false;
        }
        AddTransitions(ev.xcookie.evtype, raw->detail);
        XFreeEventData(d, &ev.xcookie);
    }
    if (remap) MapKeys();
}

void X11KeyState::AddTransitions(int type, int detail) {
    const bool key = type == XI_RawKeyPress || type == XI_RawKeyRelease;
    const bool down = type == XI_RawKeyPress || type == XI_RawButtonPress;
    if (!key && type != XI_RawButtonPress && type != XI_RawButtonRelease) return;
    for (int vk = 0; vk < KeySnapshot::kCodes; ++vk) {
        const int button = x11::PointerButtonForVirtualKey(vk);
        if (!key) {
            if (button != 0 && button == detail) transitions_.push_back({vk, down});
            continue;
        }
        if (button != 0) continue;
        for (const uint8_t kc : keycodes_[static_cast<size_t>(vk)]) {
            if (kc == 0) break;
            if (kc == detail) {
                transitions_.push_back({vk, down});
                break;
            }
        }
    }
}

void X11KeyState::TakeTransitions(std::vector<KeyTransition>& out) {
    out.clear();
    if (!connection_) return;
    ReadEvents();
    out.swap(transitions_);
}

void X11KeyState::FindPointers() {
    masterPointers_.clear();
    pointersStale_ = false;
    if (!xi2_) return;
    int count = 0;
    connection_.Name("XIQueryDevice");
    XIDeviceInfo* devices = XIQueryDevice(connection_.display(), XIAllMasterDevices, &count);
    if (!Failed("XIQueryDevice") && devices != nullptr) {
        for (int i = 0; i < count; ++i) {
            if (devices[i].use == XIMasterPointer) masterPointers_.push_back(devices[i].deviceid);
        }
    }
    if (devices != nullptr) XIFreeDeviceInfo(devices);
    if (masterPointers_.empty()) pointersStale_ = true;  // look again next time; core pointer meanwhile
}

bool X11KeyState::ReadButtons(uint32_t& buttons) {
    Display* d = connection_.display();
    const Window root = connection_.root();
    Window rootReturn = 0, child = 0;
    buttons = 0;
    if (pointersStale_) FindPointers();
    if (masterPointers_.empty()) {
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned int mask = 0;
        connection_.Name("XQueryPointer");
        XQueryPointer(d, root, &rootReturn, &child, &rx, &ry, &wx, &wy, &mask);
        if (Failed("XQueryPointer")) return false;
        const unsigned int coreMasks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask, Button5Mask};
        for (unsigned int b = 0; b < 5; ++b) {
            if (mask & coreMasks[b]) buttons |= 1u << (b + 1);
        }
        return true;
    }
    // With several master pointers (rare), a button is down when it is down on any of them.
    for (const int device : masterPointers_) {
        double rx = 0, ry = 0, wx = 0, wy = 0;
        XIButtonState state{};
        XIModifierState mods{};
        XIGroupState group{};
        connection_.Name("XIQueryPointer");
        XIQueryPointer(d, device, root, &rootReturn, &child, &rx, &ry, &wx, &wy, &state, &mods, &group);
        if (Failed("XIQueryPointer")) {
            if (state.mask != nullptr) XFree(state.mask);
            pointersStale_ = true;  // the device may be gone: list them again
            return false;
        }
        for (int b = 1; b < 32 && b < state.mask_len * 8; ++b) {
            if (XIMaskIsSet(state.mask, b)) buttons |= 1u << b;
        }
        if (state.mask != nullptr) XFree(state.mask);
    }
    return true;
}

bool X11KeyState::Read(KeySnapshot& snapshot) {
    if (!connection_) return Fail("XOpenDisplay", openError_);
    Display* d = connection_.display();

    char keys[32] = {};
    connection_.Name("XQueryKeymap");
    XQueryKeymap(d, keys);
    if (Failed("XQueryKeymap")) return false;
    uint32_t buttons = 0;
    if (!ReadButtons(buttons)) return false;
    ReadEvents();

    snapshot.Clear();
    for (int vk = 0; vk < KeySnapshot::kCodes; ++vk) {
        if (const int button = x11::PointerButtonForVirtualKey(vk); button != 0) {
            snapshot.Set(vk, (buttons >> button) & 1u);
            continue;
        }
        for (const uint8_t kc : keycodes_[static_cast<size_t>(vk)]) {
            if (kc == 0) break;
            if ((static_cast<unsigned char>(keys[kc / 8]) >> (kc % 8)) & 1u) {
                snapshot.Set(vk, true);
                break;
            }
        }
    }
    failing_ = false;
    return true;
}

}  // namespace

std::unique_ptr<IKeyState> OpenX11KeyState(const std::string& displayName) {
    return std::make_unique<X11KeyState>(displayName);
}

}  // namespace platform
