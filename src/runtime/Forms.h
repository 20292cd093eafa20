#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Font.h"
#include "Handle.h"
#include "VBTypes.h"

class Form;

// Ends the program at once: every window closes without its unload handlers.
[[noreturn]] void EndProgramNow(UINT exitCode);

// Mouse buttons and unload reasons as the event handlers receive them.
constexpr Integer vbLeftButton = 1;
constexpr Integer vbRightButton = 2;
constexpr Integer vbMiddleButton = 4;
constexpr Integer vbFormControlMenu = 0;
constexpr Integer vbFormCode = 1;
constexpr Integer vbAppWindows = 2;

// A timer of a form: ticks on the form's window while it is enabled and the
// form is loaded. Loading the form puts it back to its design state.
class Timer {
public:
    Timer(Form& owner, UINT interval, bool enabled, std::function<void()> onTimer);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }

private:
    friend class Form;
    void Reset();
    void Apply();
    void Fire();

    Form& owner_;
    UINT id_;
    UINT designInterval_;
    bool designEnabled_;
    UINT interval_;
    bool enabled_;
    std::function<void()> onTimer_;
};

// A label that is never drawn: it sizes itself to its caption in its font,
// which is all a template for measuring text needs.
class Label {
public:
    Label(Form& owner, const FontSpec& font, std::wstring designCaption = L"");
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    float Width() const { return width_; }    // twips
    float Height() const { return height_; }  // twips
    float FontSize() const { return font_.Size; }
    void SetFontSize(float points);
    bool FontBold() const { return font_.Bold; }
    void SetFontBold(bool bold);

private:
    friend class Form;
    void Reset();
    void ChangeFont();
    void Measure();

    FontSpec designFont_;
    std::wstring designCaption_;
    FontSpec font_;
    std::wstring caption_;
    float width_ = 0;
    float height_ = 0;
    GdiObject gdiFont_;
};

// A place and size in twips, as a form's design gives them.
struct TwipsBox {
    float Left, Top, Width, Height;
};

// A child window with its own handle whose mouse-move events reach a handler.
class PictureBox {
public:
    using MouseHandler = std::function<void(Integer button, Integer shift, float x, float y)>;
    PictureBox(Form& owner, const TwipsBox& design, MouseHandler onMouseMove);
    HWND hWnd() const { return hwnd_; }
    // The lParam of the mouse-move message being handled. A notification
    // icon's callback carries its mouse message there, which x in twips gives
    // back only when the twips per pixel are a whole number.
    LPARAM MouseMoveLParam() const { return mouseMoveLParam_; }

private:
    friend class Form;
    void Create(HWND parent);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    TwipsBox design_;
    MouseHandler onMouseMove_;
    HWND hwnd_ = nullptr;
    LPARAM mouseMoveLParam_ = 0;
};

// What a form is at design time.
struct FormDesign {
    const wchar_t* Name;
    float Width;   // twips
    float Height;  // twips
    COLORREF BackColor;
    FontSpec Font;
    int IconId = 0;
    int MenuId = 0;
};

// A borderless top-level window with no task-bar button. Positions and sizes
// are single-precision twips. Load creates the window and runs Form_Load
// outside any window procedure, so errors raised there reach the caller.
class Form {
public:
    explicit Form(FormDesign design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void Load();
    void Unload(Integer unloadMode = vbFormCode);
    bool IsLoaded() const { return hwnd_ != nullptr; }

    HWND hWnd() const { return hwnd_; }
    HDC hDC() const { return hdc_; }
    HICON Icon() const { return icon_.get(); }
    HMENU Menu() const { return menu_.get(); }

    float Left() const;
    void SetLeft(float twips);
    float Top() const;
    void SetTop(float twips);
    float Width() const;
    void SetWidth(float twips);
    float Height() const;
    void SetHeight(float twips);
    bool Visible() const;
    void SetVisible(bool visible);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    float FontSize() const { return font_.Size; }
    void SetFontSize(float points);
    bool FontBold() const { return font_.Bold; }
    void SetFontBold(bool bold);
    // Repaints the whole surface in the background colour at once.
    void Refresh() const;
    // Puts the window at the top of the topmost band without moving, sizing
    // or activating it: the user goes on typing where they were.
    void SetTopmost() const;
    // Opens the menu at the cursor and returns when it has closed; a chosen
    // item arrives as a click like any other menu command. For a menu that
    // closes on a click elsewhere the window must be in the foreground.
    void PopupMenu(HMENU menu) const;

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(Integer& /*cancel*/, Integer /*unloadMode*/) {}
    virtual void Form_Unload(Integer& /*cancel*/) {}
    virtual void Form_DblClick() {}
    virtual void Form_MouseDown(Integer /*button*/, Integer /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Menu_Click(UINT /*command*/) {}
    // The task bar was created anew (Explorer restarted) and has forgotten
    // every notification-area icon.
    virtual void Form_TaskbarCreated() {}
    // A monitor came or went, or the resolution or the work area changed.
    virtual void Form_DisplayChanged() {}

private:
    friend class Timer;
    friend class Label;
    friend class PictureBox;
    static void RegisterClasses();
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateFormWindow();
    void DestroyFormWindow();
    void ResetToDesign();
    void SelectFont();
    void MouseDown(Integer button, WPARAM keys, LPARAM position);
    void SettleActivation() const;
    RECT WindowRect() const;
    void MoveTo(int x, int y) const;
    void ResizeTo(int width, int height) const;
    void FireTimer(UINT id);
    friend void EndProgramNow(UINT exitCode);

    FormDesign design_;
    HWND hwnd_ = nullptr;
    HDC hdc_ = nullptr;
    IconHandle icon_, smallIcon_;
    MenuHandle menu_;
    COLORREF backColor_;
    FontSpec font_;
    GdiObject gdiFont_;
    GdiObject backBrush_;
    std::vector<Timer*> timers_;
    std::vector<Label*> labels_;
    std::vector<PictureBox*> pictures_;
};

// Runs the message loop until no form is loaded any more.
void RunMessageLoop();
