#pragma once

// The program's entry: sets up the global state, refuses a second instance,
// reads the settings and loads the clock window.
void Main();
// Reads the eight settings from the settings file (creating it empty).
void LoadSettings();
// Writes the eight settings back; other lines of the file stay as they are.
// False when the file or its folder could not be written; a file the user
// marked read-only counts as kept.
bool SaveSettings();
