#include "Forms.h"

#include <algorithm>
#include <utility>

#include "Error.h"
#include "Screen.h"
#include "Text.h"

namespace {
constexpr const wchar_t* kFormClass = L"KalvoryForm";
constexpr const wchar_t* kPictureClass = L"KalvoryPictureBox";

std::vector<Form*> gLoadedForms;
bool gMessageLoopRunning = false;

// Exceptions must never unwind through the system's callbacks: after start-up
// a failing handler is abandoned and the program goes on.
template <typename Handler>
LRESULT GuardedCall(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Handler handler) {
    try {
        return handler();
    } catch (const std::exception& error) {
        OutputDebugStringA(error.what());
    } catch (...) {
        OutputDebugStringA("Kalvory: unexpected failure in an event handler");
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The object a window belongs to, handed over through CreateWindowExW: it
// knows its window from the first message (WM_NCCREATE) on. The last one
// (WM_NCDESTROY) goes to the system alone.
template <typename Owner>
Owner* OwnerOf(HWND hwnd, UINT message, LPARAM lParam, HWND Owner::*window) {
    const auto* created = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (owner) owner->*window = message == WM_NCDESTROY ? nullptr : hwnd;
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return message == WM_NCDESTROY ? nullptr : owner;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// A program running elevated takes no registered message from Explorer,
// which runs with less, unless it says so. Looked up at run time: Windows
// before 7 lacks the function.
void AllowTaskbarCreated(HWND hwnd) {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx");
    const auto filter = reinterpret_cast<Filter>(reinterpret_cast<void (*)()>(found));
    if (filter) filter(hwnd, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
}
}  // namespace

// ---- Timer ----

Timer::Timer(Form& owner, UINT interval, bool enabled, std::function<void()> onTimer)
    : owner_(owner),
      id_(static_cast<UINT>(owner.timers_.size() + 1)),
      designInterval_(interval),
      designEnabled_(enabled),
      interval_(interval),
      enabled_(enabled),
      onTimer_(std::move(onTimer)) {
    owner.timers_.push_back(this);
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::Reset() {
    interval_ = designInterval_;
    enabled_ = designEnabled_;
}

void Timer::Apply() {
    if (!owner_.IsLoaded()) return;
    if (enabled_ && interval_ > 0)
        SetTimer(owner_.hWnd(), id_, interval_, nullptr);
    else
        KillTimer(owner_.hWnd(), id_);
}

void Timer::Fire() {
    if (enabled_ && onTimer_) onTimer_();
}

// ---- Label ----

Label::Label(Form& owner, const FontSpec& font, std::wstring designCaption)
    : designFont_(font), designCaption_(std::move(designCaption)), font_(font) {
    owner.labels_.push_back(this);
}

void Label::Reset() {
    font_ = designFont_;
    caption_ = designCaption_;
    ChangeFont();
}

void Label::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    Measure();
}

void Label::SetFontSize(float points) {
    font_.Size = points;
    ChangeFont();
}

void Label::SetFontBold(bool bold) {
    font_.Bold = bold;
    ChangeFont();
}

void Label::ChangeFont() {
    gdiFont_ = CreateGdiFont(font_);
    Measure();
}

void Label::Measure() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, gdiFont_.get());
    // Measured in the same bytes that the face hands to TextOutA.
    const std::string text = ToAnsi(caption_);
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    DeleteDC(dc);
    width_ = PixelsToTwipsX(extent.cx);
    height_ = PixelsToTwipsY(extent.cy);
}

// ---- PictureBox ----

PictureBox::PictureBox(Form& owner, const TwipsBox& design, MouseHandler onMouseMove)
    : design_(design), onMouseMove_(std::move(onMouseMove)) {
    owner.pictures_.push_back(this);
}

void PictureBox::Create(HWND parent) {
    hwnd_ = CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, TwipsToPixelsX(design_.Left),
                            TwipsToPixelsY(design_.Top), TwipsToPixelsX(design_.Width), TwipsToPixelsY(design_.Height),
                            parent, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK PictureBox::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = OwnerOf(hwnd, message, lParam, &PictureBox::hwnd_);
    if (message != WM_MOUSEMOVE || !self || !self->onMouseMove_) return DefWindowProcW(hwnd, message, wParam, lParam);
    return GuardedCall(hwnd, message, wParam, lParam, [&]() -> LRESULT {
        const auto x = static_cast<short>(LOWORD(lParam));
        const auto y = static_cast<short>(HIWORD(lParam));
        self->mouseMoveLParam_ = lParam;
        self->onMouseMove_(0, 0, PixelsToTwipsX(x), PixelsToTwipsY(y));
        return 0;
    });
}

// ---- Form ----

Form::Form(FormDesign design) : design_(std::move(design)), backColor_(design_.BackColor), font_(design_.Font) {}

Form::~Form() = default;

void Form::Load() {
    if (IsLoaded()) return;
    ResetToDesign();
    CreateFormWindow();
    gLoadedForms.push_back(this);
    Form_Load();
}

void Form::Unload(Integer unloadMode) {
    if (!IsLoaded()) return;
    Integer cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel != 0 || !IsLoaded()) return;
    Form_Unload(cancel);
    if (cancel != 0 || !IsLoaded()) return;
    DestroyFormWindow();
    gLoadedForms.erase(std::remove(gLoadedForms.begin(), gLoadedForms.end(), this), gLoadedForms.end());
    if (gLoadedForms.empty() && gMessageLoopRunning) PostQuitMessage(0);
}

void Form::ResetToDesign() {
    backColor_ = design_.BackColor;
    font_ = design_.Font;
    for (Timer* timer : timers_) timer->Reset();
    for (Label* label : labels_) label->Reset();
}

void Form::RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    // Own DC: the font selected for the face stays selected between ticks.
    form.style = CS_OWNDC | CS_DBLCLKS;
    form.lpfnWndProc = StaticWindowProc;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);
    WNDCLASSEXW picture = form;
    picture.style = 0;
    picture.lpfnWndProc = PictureBox::WindowProc;
    picture.lpszClassName = kPictureClass;
    RegisterClassExW(&picture);
    registered = true;
}

void Form::CreateFormWindow() {
    RegisterClasses();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (design_.MenuId) menu_.reset(LoadMenuW(instance, MAKEINTRESOURCEW(design_.MenuId)));
    // The icon holds an image drawn for each size the screen's dpi can ask for.
    // The large one is also the tray's, which the shell halves cleanly; the
    // small one is picked for its own size rather than halved by the window.
    // Not shared: Wine's cache of shared icons hands back the first size loaded.
    if (design_.IconId) {
        const auto load = [&](int width, int height) {
            return IconHandle(static_cast<HICON>(
                LoadImageW(instance, MAKEINTRESOURCEW(design_.IconId), IMAGE_ICON, width, height, 0)));
        };
        icon_ = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        smallIcon_ = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    }
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, kFormClass, design_.Name, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                            TwipsToPixelsX(design_.Width), TwipsToPixelsY(design_.Height), nullptr, nullptr, instance,
                            this);
    if (!hwnd_) throw VBError(vbErr::OutOfMemory, L"ウィンドウを作成できません。");
    AllowTaskbarCreated(hwnd_);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    hdc_ = GetDC(hwnd_);
    SetBkMode(hdc_, TRANSPARENT);
    backBrush_.reset(CreateSolidBrush(backColor_));
    SelectFont();
    for (PictureBox* picture : pictures_) picture->Create(hwnd_);
    for (Timer* timer : timers_) timer->Apply();
}

void Form::DestroyFormWindow() {
    for (Timer* timer : timers_) KillTimer(hwnd_, timer->id_);
    // The font must leave the DC before it can be deleted.
    SelectObject(hdc_, GetStockObject(SYSTEM_FONT));
    ReleaseDC(hwnd_, hdc_);
    hdc_ = nullptr;
    DestroyWindow(hwnd_);
    gdiFont_.reset();
    backBrush_.reset();
    menu_.reset();
    // The tray icon was deleted before the window: nothing shows these any more.
    icon_.reset();
    smallIcon_.reset();
}

void Form::SelectFont() {
    GdiObject font = CreateGdiFont(font_);
    if (hdc_) SelectObject(hdc_, font.get());
    gdiFont_ = std::move(font);
}

RECT Form::WindowRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
}

void Form::MoveTo(int x, int y) const {
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ResizeTo(int width, int height) const {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::Left() const { return PixelsToTwipsX(WindowRect().left); }
float Form::Top() const { return PixelsToTwipsY(WindowRect().top); }
float Form::Width() const {
    const RECT r = WindowRect();
    return PixelsToTwipsX(r.right - r.left);
}
float Form::Height() const {
    const RECT r = WindowRect();
    return PixelsToTwipsY(r.bottom - r.top);
}
void Form::SetLeft(float twips) { MoveTo(TwipsToPixelsX(twips), WindowRect().top); }
void Form::SetTop(float twips) { MoveTo(WindowRect().left, TwipsToPixelsY(twips)); }
// The face sets both sizes five times a second and they seldom change; each
// resize, even to the same size, costs a round of window messages.
void Form::SetWidth(float twips) {
    const RECT r = WindowRect();
    const int width = TwipsToPixelsX(twips);
    if (width != r.right - r.left) ResizeTo(width, r.bottom - r.top);
}
void Form::SetHeight(float twips) {
    const RECT r = WindowRect();
    const int height = TwipsToPixelsY(twips);
    if (height != r.bottom - r.top) ResizeTo(r.right - r.left, height);
}

bool Form::Visible() const { return IsWindowVisible(hwnd_) != FALSE; }

// A desktop clock must not take the focus from what the user is doing.
void Form::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

void Form::SetBackColor(COLORREF color) {
    backColor_ = color;
    if (!IsLoaded()) return;
    backBrush_.reset(CreateSolidBrush(color));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::SetFontSize(float points) {
    font_.Size = points;
    if (IsLoaded()) SelectFont();
}

void Form::SetFontBold(bool bold) {
    font_.Bold = bold;
    if (IsLoaded()) SelectFont();
}

void Form::SetTopmost() const {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// Wine, in its usual managed mode, hands a window over to the window manager
// at the window's first change after it has become active. The face changes
// five times a second: that hand-over came in the middle of the drag or the
// menu that activated the clock, and ended it. Made here, it comes first.
void Form::SettleActivation() const {
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Refresh() const { RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

void Form::PopupMenu(HMENU menu) const {
    POINT cursor{};
    GetCursorPos(&cursor);
    // The caller puts the window in the foreground first, or the menu would
    // not close when the user clicks elsewhere; the empty message lets it
    // open again next time.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void Form::FireTimer(UINT id) {
    for (Timer* timer : timers_)
        if (timer->id_ == id) timer->Fire();
}

void Form::MouseDown(Integer button, WPARAM keys, LPARAM position) {
    const Integer shift = static_cast<Integer>(((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0));
    const auto x = static_cast<short>(LOWORD(position));
    const auto y = static_cast<short>(HIWORD(position));
    Form_MouseDown(button, shift, PixelsToTwipsX(x), PixelsToTwipsY(y));
}

LRESULT CALLBACK Form::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Form* form = OwnerOf(hwnd, message, lParam, &Form::hwnd_);
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    return GuardedCall(hwnd, message, wParam, lParam, [&] { return form->WindowProc(message, wParam, lParam); });
}

LRESULT Form::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(backBrush_.get()));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd_, &paint);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_TIMER: FireTimer(static_cast<UINT>(wParam)); return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SettleActivation();
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) Menu_Click(LOWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN: MouseDown(vbLeftButton, wParam, lParam); return 0;
        case WM_RBUTTONDOWN: MouseDown(vbRightButton, wParam, lParam); return 0;
        case WM_MBUTTONDOWN: MouseDown(vbMiddleButton, wParam, lParam); return 0;
        case WM_LBUTTONDBLCLK: Form_DblClick(); return 0;
        case WM_CLOSE: Unload(vbFormControlMenu); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            // Windows ends the process after this message: unload (and save) now.
            if (wParam) Unload(vbAppWindows);
            return 0;
        case WM_DISPLAYCHANGE: Form_DisplayChanged(); return 0;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) Form_DisplayChanged();
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        default:
            if (message == TaskbarCreatedMessage() && message != 0) {
                Form_TaskbarCreated();
                return 0;
            }
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

// ---- Program ----

void RunMessageLoop() {
    if (gLoadedForms.empty()) return;
    gMessageLoopRunning = true;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    gMessageLoopRunning = false;
}

void EndProgramNow(UINT exitCode) {
    for (Form* form : gLoadedForms) form->DestroyFormWindow();
    gLoadedForms.clear();
    ExitProcess(exitCode);
}
