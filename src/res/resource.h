#pragma once
// Resource and menu command identifiers, shared by the resource script and
// the code. A menu array has its first item's command and its count side by
// side; the items' commands follow one another.

#define IDI_CLOCK 1
#define IDR_MAINMENU 100

#define IDM_TIMETONE 1001
#define IDM_DISPPOSITION_LT 1011
#define IDM_DISPPOSITION_LD 1012
#define IDM_DISPPOSITION_RT 1013
#define IDM_DISPPOSITION_RD 1014
#define IDM_DISPPOSITION_MM 1015
#define IDM_FONTSIZE_FIRST 1101
#define IDM_FONTSIZE_COUNT 16
#define IDM_FONTCOLOR_FIRST 1201
#define IDM_FONTCOLOR_COUNT 6
#define IDM_FONTBOLD 1300
#define IDM_TRANS_FIRST 1400
#define IDM_TRANS_COUNT 11
#define IDM_QUIT 1500
