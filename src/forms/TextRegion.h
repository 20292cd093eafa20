#pragma once
#include <string>

class Form;

// Cuts the form's window to the outline of the text drawn at (0, 0) in the
// form's font, hands the region to the window and repaints it, so that only
// the glyphs remain, in the form's background colour.
void CutWindowToText(const Form& form, const std::wstring& text);
