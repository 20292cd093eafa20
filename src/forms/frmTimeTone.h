#pragma once
#include "../runtime/Forms.h"

// The hourly pop-up: "hh:mm" cut to its own outline in the clock's colour,
// shown for about two seconds above every ordinary window, then gone.
class frmTimeToneForm : public Form {
public:
    frmTimeToneForm();

    Label lblTemplate;
    Timer timClock;

    void timClock_Timer();

protected:
    void Form_Load() override;
};

extern frmTimeToneForm frmTimeTone;
