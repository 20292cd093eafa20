#include "Menu.h"

#include <iterator>

#include "Error.h"
#include "Forms.h"
#include "Text.h"

std::wstring MenuItem::Caption() const {
    wchar_t caption[256] = L"";
    GetMenuStringW(owner_->Menu(), command_, caption, static_cast<int>(std::size(caption)), MF_BYCOMMAND);
    return caption;
}

bool MenuItem::Checked() const { return (GetMenuState(owner_->Menu(), command_, MF_BYCOMMAND) & MF_CHECKED) != 0; }

void MenuItem::SetChecked(bool checked) const {
    CheckMenuItem(owner_->Menu(), command_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

MenuItem MenuArray::operator()(Integer index) const {
    if (index < lbound_ || index > ubound_)
        throw VBError(vbErr::ControlArrayElementMissing,
                      L"コントロール配列の要素 '" + DecimalText(index) + L"' は存在しません。");
    return MenuItem(owner_, first_ + static_cast<UINT>(index - lbound_));
}

bool MenuArray::IndexOf(UINT command, Integer& index) const {
    const long offset = static_cast<long>(command) - static_cast<long>(first_);
    if (offset < 0 || offset > ubound_ - lbound_) return false;
    index = static_cast<Integer>(lbound_ + offset);
    return true;
}
