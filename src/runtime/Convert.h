#pragma once
#include <string>

#include "VBTypes.h"

// A text as a 16-bit number, a half to the even neighbour. Raises the type
// mismatch 13 for a text that is not a number and the overflow 6 beyond
// -32768..32767.
Integer CInt(const std::wstring& text);
