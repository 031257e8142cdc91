// Resource and command identifiers shared by the resource script and the code.
#pragma once

// The framework's string ids (file errors), whose texts are in tallivo.rc.
#include "ui/framework_ids.h"

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Strings
#define IDS_ABOUTBOX            101

// Dialog templates
#define IDD_ABOUT               100
#define IDD_MAIN                102
#define IDD_CONTACT             135
#define IDD_IDLE_SHUTDOWN       136
#define IDD_HOTKEY              137
#define IDD_PAGE_HOUR           138
#define IDD_PAGE_DAY            139
#define IDD_UPDATE              148
#define IDD_PROCESS_PANEL       152
#define IDD_PROCESS_PICKER      162
#define IDD_HISTORY             170
#define IDD_SYNC                171
#define IDD_BREAKS              172
#define IDD_BREAK               173

// Icons, bitmaps, menus
#define IDR_MAINFRAME           128
#define IDI_PANEL               151
#define IDB_BANNER              147
#define IDB_UPDATE              150
#define IDR_TRAY_MENU           131
#define IDR_MAIN_MENU           132
#define IDR_PROCESS_MENU        161

// Controls of the main window
#define IDC_CURSOR_POS          1000
#define IDC_LEFT_CLICKS         1001
#define IDC_RIGHT_CLICKS        1002
#define IDC_MIDDLE_CLICKS       1003
#define IDC_WHEEL_STEPS         1004
#define IDC_UPTIME              1005
#define IDC_KEY_STROKES         1006
#define IDC_TOTAL_CLICKS        1007
#define IDC_RUN_TIME            1008
#define IDC_CLOCK               1009
#define IDC_MOVE_METRES         1010
#define IDC_IDLE_STATE          1012
#define IDC_TAB                 1015
#define IDC_BANNER              1033
#define IDC_STATUS_BAR          3

// Controls of the chart pages
#define IDC_CHART               1019
// Controls of the per-process panel and the process picker
#define IDC_PROCESS_LIST        1023
#define IDC_PROC_LEFT           1025
#define IDC_PROC_RIGHT          1026
#define IDC_PROC_MIDDLE         1027
#define IDC_PROC_WHEEL          1028
#define IDC_PROC_MOUSE          1029
#define IDC_PROC_KEYS           1030
#define IDC_PROC_SHARE          1034
// Controls of the tool dialogs
#define IDC_IDLE_MINUTES        1007
#define IDC_IDLE_ON             1010
#define IDC_IDLE_OFF            1011
#define IDC_HOTKEY_EDIT         1007
#define IDC_HOTKEY_SET          1013
#define IDC_HOME_PAGE           1032

// Menu commands
#define ID_SHOW_WINDOW          32771
#define ID_CLEAR_STATS          32774
#define ID_EXIT                 32776
#define ID_HELP_INFO            32777
#define ID_CONTACT              32778
#define ID_SAVE_REPORT          32782
#define ID_SET_HOTKEY           32783
#define ID_IDLE_SHUTDOWN        32784
#define ID_SWAP_BUTTONS         32785
#define ID_VERSION_CHECK        32786
#define ID_PROCESS_STATS        32787
#define ID_PROCESS_CLEAR        32790
#define ID_AUTOSTART            32792
#define ID_HISTORY              32793
#define ID_SYNC                 32794
#define ID_BREAKS               32795

// System-menu item
#define IDM_ABOUT               0x0010

// Version check dialog
#define IDC_UPDATE_CHECK        1021
#define IDC_UPDATE_LINK         1031
#define IDC_UPDATE_PICTURE      1035

// History window (1100-1149; 1150-1169 are kept for its drawn views)
#define IDC_HIST_TODAY          1100
#define IDC_HIST_7DAYS          1101
#define IDC_HIST_30DAYS         1102
#define IDC_HIST_YEAR           1103
#define IDC_HIST_ALL            1104
#define IDC_HIST_FROM           1105
#define IDC_HIST_TO             1106
#define IDC_HIST_EXPORT         1107
#define IDC_HIST_TAB            1108
#define IDC_HIST_FIGURE         1109
#define IDC_HIST_CHART          1110
#define IDC_HIST_DAYS           1111
#define IDC_HIST_HEATMAP        1112
#define IDC_HIST_KEYBOARD       1113
#define IDC_HIST_TOPKEYS        1114
#define IDC_HIST_PROGRAMS       1115
#define IDC_HIST_MESSAGE        1116
#define IDC_HIST_TO_LABEL       1117
#define IDC_HIST_FIGURE_LABEL   1118
#define IDC_HIST_COMPUTER       1119
#define IDC_HIST_COMPUTER_LABEL 1120
#define IDC_HIST_DELETE         1121

// Several computers (1170-1179)
#define IDC_SYNC_FOLDER         1170
#define IDC_SYNC_BROWSE         1171
#define IDC_SYNC_OFF            1172
#define IDC_SYNC_NAME           1173
#define IDC_SYNC_LIST           1174

// Breaks (1180-1199)
#define IDC_BREAKS_ON           1180
#define IDC_MICRO_EVERY         1181
#define IDC_MICRO_LENGTH        1182
#define IDC_REST_EVERY          1183
#define IDC_REST_LENGTH         1184
#define IDC_LIMIT_HOURS         1185
#define IDC_LIMIT_MINUTES       1186
#define IDC_BREAK_TITLE         1190
#define IDC_BREAK_COUNTDOWN     1191
#define IDC_BREAK_HINT          1192
#define IDC_BREAK_POSTPONE      1193
#define IDC_BREAK_SKIP          1194
