#pragma once
#include <cstdint>

// The forms runtime's scalar types. A Boolean is 16 bits wide: True is -1
// (all bits set) and Not is the bitwise complement, which the settings code
// relies on when it applies a saved value through a toggling handler.
using Boolean = int16_t;
using Integer = int16_t;
using Long = int32_t;

constexpr Boolean vbTrue = -1;
constexpr Boolean vbFalse = 0;

inline Boolean CBool(bool value) { return value ? vbTrue : vbFalse; }
// Not on a Boolean: the bitwise complement, so True and False swap.
inline Boolean Not(Boolean value) { return static_cast<Boolean>(~value); }
// Any value but False counts as True, as the forms runtime tests it.
inline bool IsTrue(Boolean value) { return value != vbFalse; }
