#pragma once
#include "../runtime/Forms.h"

// The clock window: borderless, no task-bar button, cut to the outline of the
// time text. Its menu tree opens only as the tray icon's pop-up menu.
class frmMainForm : public Form {
public:
    frmMainForm();

    Timer timTimeTone;
    PictureBox pctTaskTray;
    Timer timClock;
    Label lblTemplate;

    // The invisible top item whose submenu is the tray icon's pop-up menu.
    HMENU mnuTaskTray() const { return GetSubMenu(Menu(), 0); }
    MenuItem mnuTimeTone;
    MenuItem mnuDispPositionLT;
    MenuItem mnuDispPositionLD;
    MenuItem mnuDispPositionRT;
    MenuItem mnuDispPositionRD;
    MenuItem mnuDispPositionMM;
    MenuArray mnuFontSizeValue;
    MenuArray mnuFontColorValue;
    MenuItem mnuFontBold;
    MenuArray mnuTransValue;
    MenuItem mnuQuit;

    // Rebuilds the face: window sized to the time text and cut to its outline.
    void timClock_Timer();
    void mnuQuit_Click();

protected:
    void Form_Load() override;
    void Form_Unload(Integer& cancel) override;
    void Menu_Click(UINT command) override;

private:
    void FillColorTable();

    Boolean mblnLoading = vbFalse;
};

extern frmMainForm frmMain;
