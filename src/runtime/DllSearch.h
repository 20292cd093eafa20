#pragma once

// Keeps DLLs planted beside the program or in the current folder out of the
// process: later loads by bare name, the system's own included, look in the
// system folder only. Call it before anything can load a DLL. Returns false
// when the system lacks that restriction (Windows 7 without KB2533623); then
// only the current folder is dropped from the search.
bool RestrictDllSearchToSystem();
