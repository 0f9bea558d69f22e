// Identifiers shared by the resource script and the code (plain #defines so rc can read them too).
#pragma once

#define IDM_ABOUT 0x0010

#define IDD_ABOUT_DIALOG 100
#define IDS_ABOUT_MENU 101
#define IDD_MAIN_DIALOG 102
#define IDI_MAIN_ICON 128

#define IDC_BYTE0 1000
#define IDC_CLEAR_RESULT 1005
#define IDC_SEND_COUNT 1006
#define IDC_BYTE1 1007
#define IDC_BYTE2 1008
#define IDC_BYTE3 1009
#define IDC_RESULT 1010
#define IDC_BAUD_LIST 1011
