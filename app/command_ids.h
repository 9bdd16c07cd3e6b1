/* Command and resource identifiers shared by the resource scripts and the
   code. Plain #defines so that windres can read this file too. */
#ifndef HALVORSIGHT_COMMAND_IDS_H
#define HALVORSIGHT_COMMAND_IDS_H

/* Commands */
#define ID_DOC_ADD            32776
#define ID_DOC_EDIT           32777
#define ID_DOC_DUPLICATE      32778
#define ID_APP_EXIT_CMD       32779
#define ID_DOC_SELECT_ALL     32780
#define ID_DOC_DESELECT_ALL   32781
#define ID_DOC_DELETE         32782
#define ID_DOC_CHECK          32783
#define ID_HELP_HOMEPAGE      32784
#define ID_HELP_SUPPORT       32785
#define ID_HELP_MANUAL        32786
#define ID_DOC_SET_NOTCHANGED 32789
#define ID_APP_OPTION         32790
#define ID_DOC_OPEN           32791
#define ID_DOC_SET_ALL_NOTCHANGED 32794
#define ID_TRAY_OPEN          32798
#define ID_TRAY_EXIT          32799
#define ID_DOC_CHECK_ALL      32800
#define ID_BG_EMPTY           32802
#define ID_BG_DEFAULT         32803
#define ID_BG_CUSTOM          32804
#define ID_DOC_SAVE_AS        32805
#define ID_DOC_VIEW_HEADER    32806
#define ID_APP_ABOUT_CMD      57664
#define ID_VIEW_TOOLBAR_CMD   59392
#define ID_VIEW_STATUS_BAR_CMD 59393

/* Resources */
#define IDR_MAINFRAME         128
#define IDR_TOOLBAR           131
#define IDB_STATUS_IMAGES     130
#define IDB_TOOLBAR_HOT       134
#define IDB_TOOLBAR_NORMAL    135
#define IDR_CONTEXT_MENU      137
#define IDD_OPTIONS           138
#define IDI_ABOUT             139
#define IDI_BLINK             140
#define IDR_TRAY_MENU         141
#define IDD_ABOUTBOX          100
#define IDS_SOCKETS_FAILED    104

/* Timers and tray */
#define PERIODIC_CHECK_TIMER  1
#define TRAY_BLINK_TIMER      2
#define STARTUP_PROMPT_TIMER  3
#define TRAY_ICON_ID          1025
#define TRAY_CALLBACK_MESSAGE 1025 /* WM_USER + 1 */

/* Options dialog controls */
#define IDC_STARTUP_CHECK     1016
#define IDC_PERIODIC_CHECK    1017
#define IDC_MINUTES_SPIN      1020
#define IDC_MINUTES_TEXT      1021
#define IDC_PLAY_SOUND        1022
#define IDC_AUTO_OPEN         1023
#define IDC_AUTOMATIC_GROUP   1031
#define IDC_MINUTES_LABEL     1032

#endif
