#pragma once
// The pointer speed on the 1..20 scale the program keeps (10 = the pointer moves as the mouse does),
// mapped to the X server's pointer acceleration. UI thread.

#include "platform/CallFailure.h"

namespace platform {

// 0 when it cannot be read.
int GetMouseSpeed(CallFailure* failure = nullptr);
bool SetMouseSpeed(int speed, CallFailure* failure = nullptr);
// The acceleration exactly as the server keeps it.
bool GetPointerAcceleration(int* numerator, int* denominator, int* threshold, CallFailure* failure = nullptr);
bool SetPointerAcceleration(int numerator, int denominator, int threshold, CallFailure* failure = nullptr);

}  // namespace platform
