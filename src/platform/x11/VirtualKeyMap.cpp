#include "platform/x11/VirtualKeyMap.h"

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>
#include <type_traits>

namespace platform::x11 {
namespace {

static_assert(std::is_same_v<KeySym, unsigned long>, "keysyms cross the header as unsigned long");

constexpr int kMaxKeysyms = 3;

struct Entry {
    int vk;
    std::array<KeySym, kMaxKeysyms> keysyms;  // NoSymbol-terminated
};

// Windows virtual-key codes and the keysyms that stand for them on X.
// clang-format off
constexpr Entry kEntries[] = {
    {0x08, {XK_BackSpace}},
    {0x09, {XK_Tab}},
    {0x0C, {XK_Clear}},
    {0x0D, {XK_Return, XK_KP_Enter}},  // Windows reports the keypad's Enter as Enter too
    {0x10, {XK_Shift_L, XK_Shift_R}},
    {0x11, {XK_Control_L, XK_Control_R}},
    {0x12, {XK_Alt_L, XK_Alt_R, XK_ISO_Level3_Shift}},
    {0x13, {XK_Pause}},
    {0x14, {XK_Caps_Lock}},
    {0x15, {XK_Hangul, XK_Hiragana_Katakana}},
    {0x19, {XK_Hangul_Hanja, XK_Kanji}},
    {0x1B, {XK_Escape}},
    {0x1C, {XK_Henkan_Mode}},
    {0x1D, {XK_Muhenkan}},
    {0x20, {XK_space}},
    {0x21, {XK_Prior}},
    {0x22, {XK_Next}},
    {0x23, {XK_End}},
    {0x24, {XK_Home}},
    {0x25, {XK_Left}},
    {0x26, {XK_Up}},
    {0x27, {XK_Right}},
    {0x28, {XK_Down}},
    {0x29, {XK_Select}},
    {0x2B, {XK_Execute}},
    {0x2C, {XK_Print}},
    {0x2D, {XK_Insert}},
    {0x2E, {XK_Delete}},
    {0x2F, {XK_Help}},
    {0x30, {XK_0}}, {0x31, {XK_1}}, {0x32, {XK_2}}, {0x33, {XK_3}}, {0x34, {XK_4}},
    {0x35, {XK_5}}, {0x36, {XK_6}}, {0x37, {XK_7}}, {0x38, {XK_8}}, {0x39, {XK_9}},
    {0x41, {XK_a}}, {0x42, {XK_b}}, {0x43, {XK_c}}, {0x44, {XK_d}}, {0x45, {XK_e}}, {0x46, {XK_f}},
    {0x47, {XK_g}}, {0x48, {XK_h}}, {0x49, {XK_i}}, {0x4A, {XK_j}}, {0x4B, {XK_k}}, {0x4C, {XK_l}},
    {0x4D, {XK_m}}, {0x4E, {XK_n}}, {0x4F, {XK_o}}, {0x50, {XK_p}}, {0x51, {XK_q}}, {0x52, {XK_r}},
    {0x53, {XK_s}}, {0x54, {XK_t}}, {0x55, {XK_u}}, {0x56, {XK_v}}, {0x57, {XK_w}}, {0x58, {XK_x}},
    {0x59, {XK_y}}, {0x5A, {XK_z}},
    {0x5B, {XK_Super_L}},
    {0x5C, {XK_Super_R}},
    {0x5D, {XK_Menu}},
    {0x5F, {XF86XK_Sleep}},
    {0x60, {XK_KP_0}}, {0x61, {XK_KP_1}}, {0x62, {XK_KP_2}}, {0x63, {XK_KP_3}}, {0x64, {XK_KP_4}},
    {0x65, {XK_KP_5}}, {0x66, {XK_KP_6}}, {0x67, {XK_KP_7}}, {0x68, {XK_KP_8}}, {0x69, {XK_KP_9}},
    {0x6A, {XK_KP_Multiply}},
    {0x6B, {XK_KP_Add}},
    {0x6C, {XK_KP_Separator}},
    {0x6D, {XK_KP_Subtract}},
    {0x6E, {XK_KP_Decimal}},
    {0x6F, {XK_KP_Divide}},
    {0x70, {XK_F1}}, {0x71, {XK_F2}}, {0x72, {XK_F3}}, {0x73, {XK_F4}}, {0x74, {XK_F5}},
    {0x75, {XK_F6}}, {0x76, {XK_F7}}, {0x77, {XK_F8}}, {0x78, {XK_F9}}, {0x79, {XK_F10}},
    {0x7A, {XK_F11}}, {0x7B, {XK_F12}}, {0x7C, {XK_F13}}, {0x7D, {XK_F14}}, {0x7E, {XK_F15}},
    {0x7F, {XK_F16}}, {0x80, {XK_F17}}, {0x81, {XK_F18}}, {0x82, {XK_F19}}, {0x83, {XK_F20}},
    {0x84, {XK_F21}}, {0x85, {XK_F22}}, {0x86, {XK_F23}}, {0x87, {XK_F24}},
    {0x90, {XK_Num_Lock}},
    {0x91, {XK_Scroll_Lock}},
    {0xA0, {XK_Shift_L}},
    {0xA1, {XK_Shift_R}},
    {0xA2, {XK_Control_L}},
    {0xA3, {XK_Control_R}},
    {0xA4, {XK_Alt_L}},
    {0xA5, {XK_Alt_R, XK_ISO_Level3_Shift}},  // AltGr is the right Alt on Windows
    {0xA6, {XF86XK_Back}},
    {0xA7, {XF86XK_Forward}},
    {0xA8, {XF86XK_Refresh}},
    {0xA9, {XF86XK_Stop}},
    {0xAA, {XF86XK_Search}},
    {0xAB, {XF86XK_Favorites}},
    {0xAC, {XF86XK_HomePage}},
    {0xAD, {XF86XK_AudioMute}},
    {0xAE, {XF86XK_AudioLowerVolume}},
    {0xAF, {XF86XK_AudioRaiseVolume}},
    {0xB0, {XF86XK_AudioNext}},
    {0xB1, {XF86XK_AudioPrev}},
    {0xB2, {XF86XK_AudioStop}},
    {0xB3, {XF86XK_AudioPlay}},
    {0xB4, {XF86XK_Mail}},
    {0xB5, {XF86XK_AudioMedia}},
    {0xB6, {XF86XK_MyComputer}},
    {0xB7, {XF86XK_Calculator}},
    {0xBA, {XK_semicolon}},
    {0xBB, {XK_equal}},
    {0xBC, {XK_comma}},
    {0xBD, {XK_minus}},
    {0xBE, {XK_period}},
    {0xBF, {XK_slash}},
    {0xC0, {XK_grave}},
    {0xDB, {XK_bracketleft}},
    {0xDC, {XK_backslash}},
    {0xDD, {XK_bracketright}},
    {0xDE, {XK_apostrophe}},
    {0xE2, {XK_less}},  // the extra key beside the left Shift on ISO keyboards
};
// clang-format on

struct Index {
    std::array<const Entry*, 256> byCode{};
    constexpr Index() {
        for (const Entry& e : kEntries) byCode[static_cast<size_t>(e.vk)] = &e;
    }
};

constexpr Index kIndex;

}  // namespace

int PointerButtonForVirtualKey(int vk) {
    switch (vk) {
        case 0x01:
            return Button1;
        case 0x02:
            return Button3;
        case 0x04:
            return Button2;
        case 0x05:
            return 8;
        case 0x06:
            return 9;
        default:
            return 0;
    }
}

std::span<const unsigned long> KeysymsForVirtualKey(int vk) {
    if (vk < 0 || vk > 255) return {};
    const Entry* e = kIndex.byCode[static_cast<size_t>(vk)];
    if (e == nullptr) return {};
    size_t n = 0;
    while (n < e->keysyms.size() && e->keysyms[n] != NoSymbol) ++n;
    return {e->keysyms.data(), n};
}

}  // namespace platform::x11
