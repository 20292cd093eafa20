#pragma once
#include <windows.h>

#include <string>

// Collects pieces of text, as ANSI bytes, in one block of the process heap
// that grows by exactly each piece, and hands the whole back as one text.
class clsStrChain {
public:
    clsStrChain();  // raises -2147220501 when there is no process heap
    ~clsStrChain();
    clsStrChain(const clsStrChain&) = delete;
    clsStrChain& operator=(const clsStrChain&) = delete;

    // Appends the piece up to its first NUL. Raises 6 (overflow) or
    // -2147220502 (no memory), keeping what was collected before.
    void AddString(const std::wstring& str);
    std::wstring GetString() const;
    void ClearString();

    long Length() const { return mlngLength; }

private:
    HANDLE mlngHeap = nullptr;
    void* mlngBuffer = nullptr;
    long mlngLength = 0;
};

constexpr long kErrGetProcessHeap = -2147221504 + 1003;
constexpr long kErrHeapAlloc = -2147221504 + 1002;
