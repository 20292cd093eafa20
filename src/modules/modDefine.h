#pragma once
// Names the whole program shares: the product, its settings file and keys.
#include <windows.h>

constexpr const wchar_t* kProductName = L"Kalvory";
constexpr const wchar_t* kTitleTag = L"Desktop Clock";
constexpr const wchar_t* kIniFileName = L"Kalvory.ini";

constexpr const wchar_t* kSectionWindowDesign = L"Window Design";
constexpr const wchar_t* kSectionConfig = L"Config";
constexpr const wchar_t* kKeyTop = L"Top";
constexpr const wchar_t* kKeyLeft = L"Left";
constexpr const wchar_t* kKeyFontSize = L"Font Size";
constexpr const wchar_t* kKeyFontColor = L"Font Color";
constexpr const wchar_t* kKeyFontBold = L"Font Bold";
constexpr const wchar_t* kKeyTranslucence = L"Translucence";
constexpr const wchar_t* kKeyDispClock = L"Disp Clock";
constexpr const wchar_t* kKeyTimeTone = L"Time Tone";
constexpr const wchar_t* kKeyHideInFullScreen = L"Hide In Full Screen";

constexpr const wchar_t* kTextTrue = L"True";
constexpr const wchar_t* kTextFalse = L"False";

constexpr const wchar_t* kMsgSecondInstance = L"二重起動はできません";
constexpr const wchar_t* kMsgUnexpectedError = L"予測不能のエラーが発生しました";
// Around the settings file's full path, when the quit could not save.
constexpr const wchar_t* kMsgCannotSaveHead = L"設定を保存できませんでした。今回の変更は保存されていません。\n\n";
constexpr const wchar_t* kMsgCannotSaveTail =
    L"\n\nほかのプログラムがこのファイルを開いているときは、そのプログラムを閉じてください。\n"
    L"Program Files のように書き込めないフォルダーにあるときは、Kalvory.exe をご自分のフォルダー"
    L"（ドキュメントなど）に移してください。";
// The first start's notification: the clock starts hidden, and Windows 11
// keeps a new icon out of sight behind the task bar's ^ button.
constexpr const wchar_t* kMsgFirstRunBalloon =
    L"Kalvory は通知領域で動いています。このアイコンをダブルクリックすると時計が表示されます。";

// Message-box style: the stop icon and a single OK button.
constexpr unsigned kStyleCritical = MB_OK | MB_ICONSTOP;
