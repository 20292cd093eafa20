#pragma once
#include <windows.h>

#include <string>

#include "Handle.h"

// The application object: the program's folder, the single-instance test,
// the task-list flag and the version numbers of the version resource.
class AppObject {
public:
    // The program's folder; a drive's root keeps its backslash ("D:\").
    std::wstring Path() const;
    // True when a copy of this program started earlier is still running.
    // The first call claims the program's name for this process.
    bool PrevInstance();
    bool TaskVisible() const { return taskVisible_; }
    void SetTaskVisible(bool visible);
    int Major() const;
    int Minor() const;
    int Revision() const;

    // For tests: pretend the program file lives at this path.
    void SetModulePathForTest(std::wstring path) { modulePathOverride_ = std::move(path); }

private:
    std::wstring ModulePath() const;
    VS_FIXEDFILEINFO VersionInfo() const;

    KernelHandle instanceMutex_;
    bool prevInstanceKnown_ = false;
    bool prevInstance_ = false;
    bool taskVisible_ = true;
    std::wstring modulePathOverride_;
};

extern AppObject App;
