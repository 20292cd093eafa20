#include "clsStrChain.h"

#include <climits>

#include "../runtime/Error.h"
#include "../runtime/Text.h"

clsStrChain::clsStrChain() {
    mlngHeap = GetProcessHeap();
    if (!mlngHeap) throw VBError(kErrGetProcessHeap, L"GetProcessHeap failed.", L"clsStrChain");
}

clsStrChain::~clsStrChain() { ClearString(); }

void clsStrChain::AddString(const std::wstring& str) {
    const std::string bytes = ToAnsi(str);
    // cppcheck-suppress lstrlenACalled ; c_str() is always readable and ends in a zero
    const long n = lstrlenA(bytes.c_str());
    if (n > LONG_MAX - mlngLength) RaiseOverflow();
    const SIZE_T newSize = static_cast<SIZE_T>(mlngLength) + static_cast<SIZE_T>(n);
    void* block = mlngBuffer ? HeapReAlloc(mlngHeap, 0, mlngBuffer, newSize) : HeapAlloc(mlngHeap, 0, newSize);
    if (!block) throw VBError(kErrHeapAlloc, L"HeapAlloc or HeapReAlloc failed.", L"clsStrChain");
    mlngBuffer = block;
    RtlMoveMemory(static_cast<char*>(mlngBuffer) + mlngLength, bytes.data(), static_cast<SIZE_T>(n));
    mlngLength += n;
}

std::wstring clsStrChain::GetString() const {
    if (!mlngBuffer || mlngLength == 0) return L"";
    return FromAnsi(std::string(static_cast<const char*>(mlngBuffer), static_cast<size_t>(mlngLength)));
}

void clsStrChain::ClearString() {
    if (!mlngHeap || !mlngBuffer) return;
    HeapFree(mlngHeap, 0, mlngBuffer);
    mlngBuffer = nullptr;
    mlngLength = 0;
}
