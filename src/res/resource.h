#pragma once
// Resource and menu command identifiers, shared by the resource script and
// the code. A menu array's commands are its base plus the item's index.

#define IDI_CLOCK 1
#define IDR_MAINMENU 100

#define IDM_TIMETONE 1001
#define IDM_DISPPOSITION_LT 1011
#define IDM_DISPPOSITION_LD 1012
#define IDM_DISPPOSITION_RT 1013
#define IDM_DISPPOSITION_RD 1014
#define IDM_DISPPOSITION_MM 1015
#define IDM_FONTSIZE_BASE 1100
#define IDM_FONTCOLOR_BASE 1200
#define IDM_FONTBOLD 1300
#define IDM_TRANS_BASE 1400
#define IDM_QUIT 1500
