#pragma once
#include <memory>

#include "../classes/clsMouseControl.h"
#include "../classes/clsTaskTray.h"
#include "../runtime/Forms.h"
#include "../runtime/Menu.h"

// The clock window: borderless, no task-bar button, cut to the outline of the
// time text. Its menu tree opens only as the tray icon's pop-up menu.
class frmMainForm : public Form {
public:
    frmMainForm();

    Timer timTimeTone;
    PictureBox pctTaskTray;
    Timer timClock;
    Label lblTemplate;
    // Tries again to add the tray icon while the shell refuses it.
    Timer timTaskTray;

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
    // Watches for the full hour while the time signal is on.
    void timTimeTone_Timer();
    void timTaskTray_Timer();
    // The tray icon's mouse messages: the right button's release opens the
    // menu, a left double click shows or hides the clock.
    void pctTaskTray_MouseMove(Integer button, Integer shift, float x, float y);

    void mnuTimeTone_Click();
    // Send the clock to a corner or the centre of the whole screen.
    void mnuDispPositionLT_Click();
    void mnuDispPositionLD_Click();
    void mnuDispPositionRT_Click();
    void mnuDispPositionRD_Click();
    void mnuDispPositionMM_Click();

    // Each menu command applies its choice at once; the load handler applies
    // the saved settings through the same handlers.
    void mnuFontSizeValue_Click(Integer Index);
    void mnuFontColorValue_Click(Integer Index);
    void mnuFontBold_Click();
    void mnuTransValue_Click(Integer Index);
    void mnuQuit_Click();

protected:
    void Form_Load() override;
    void Form_DblClick() override;
    void Form_MouseDown(Integer button, Integer shift, float x, float y) override;
    void Form_QueryUnload(Integer& cancel, Integer unloadMode) override;
    void Form_Unload(Integer& cancel) override;
    void Form_TaskbarCreated() override;
    void Form_DisplayChanged() override;
    void Menu_Click(UINT command) override;

private:
    void FillColorTable();
    void AddTaskTrayIcon();
    // The window's place is the user's now: a drag or a preset put it there.
    void TakeUserPlace();
    bool SaveSettingsAndPlace();
    // "Hide In Full Screen": the clock hides while a program in full screen
    // is in front on its monitor, and comes back when it goes.
    HWND FullScreenInTheWay();
    void WatchFullScreen();
    void ShownByUser();
    static void UncheckAll(const MenuArray& items);
    float FarLeft() const;
    float FarTop() const;
    void ShowAtPreset(float across, float down);

    std::unique_ptr<clsTaskTray> mclsTaskTray;
    std::unique_ptr<clsMouseControl> mclsMouseControl;
    Boolean mblnLoading = vbFalse;
    // Where the user put the clock, in twips: the place loaded, dragged to or
    // chosen from the menu. It is what the exit saves.
    Long mlngUserTop = 0;
    Long mlngUserLeft = 0;
    // The first start's notification waits for the shell to take the icon.
    Boolean mblnBalloonDue = vbFalse;
    Integer mintUnloadMode = vbFormCode;
    // Hidden for a program in full screen, though shown by the user's choice.
    Boolean mblnSteppedAside = vbFalse;
    // The program in full screen the user asked to see the clock over.
    HWND mhwndShownOver = nullptr;
    // The full hour last signalled, in hours since 1601; -1 before the first.
    Long mlngSignalledHour = -1;
};

extern frmMainForm frmMain;
