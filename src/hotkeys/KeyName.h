#pragma once
// The name of a key as the user sees it on key caps and in binding texts.

#include <cstdint>
#include <string>

// "" for 0; the character itself for digits and letters; the name of a known key ("LCtrl", "Num 5",
// "F12"); otherwise the code's decimal number ("187").
std::string KeyName(uint8_t code);
