#pragma once
#include <windows.h>

#include <string>

#include "VBTypes.h"

class Form;

// A menu item of a form's menu tree, found by its command.
class MenuItem {
public:
    MenuItem(const Form& owner, UINT command) : owner_(&owner), command_(command) {}
    std::wstring Caption() const;
    bool Checked() const;
    void SetChecked(bool checked) const;

private:
    const Form* owner_;
    UINT command_;
};

// A control array of menu items: the first item's command, then one command
// an item, from the array's first index on.
class MenuArray {
public:
    MenuArray(const Form& owner, UINT firstCommand, Integer lbound, Integer count)
        : owner_(owner), first_(firstCommand), lbound_(lbound), ubound_(static_cast<Integer>(lbound + count - 1)) {}
    // Raises run-time error 340 for an index without an item.
    MenuItem operator()(Integer index) const;
    Integer LBound() const { return lbound_; }
    Integer UBound() const { return ubound_; }
    // The index of a command of this array, or false when it is not one.
    bool IndexOf(UINT command, Integer& index) const;

private:
    const Form& owner_;
    UINT first_;
    Integer lbound_;
    Integer ubound_;
};
