#pragma once
#include <stdexcept>
#include <string>

// A run-time error: number, description and source, as the error trap of the
// start-up procedure receives it.
class VBError : public std::runtime_error {
public:
    VBError(long number, std::wstring description, std::wstring source = L"Kalvory");

    long Number() const { return number_; }
    const std::wstring& Description() const { return description_; }
    const std::wstring& Source() const { return source_; }

private:
    long number_;
    std::wstring description_;
    std::wstring source_;
};

namespace vbErr {
constexpr long OutOfMemory = 7;
constexpr long Overflow = 6;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long ControlArrayElementMissing = 340;
constexpr long ObjectDefinedBase = -2147221504;  // vbObjectError
}  // namespace vbErr

[[noreturn]] void RaiseOverflow();
