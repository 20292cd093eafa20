#include "Error.h"

#include "Text.h"

VBError::VBError(long number, std::wstring description, std::wstring source)
    : std::runtime_error(ToAnsi(description)),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

void RaiseOverflow() { throw VBError(vbErr::Overflow, L"オーバーフローしました。"); }
