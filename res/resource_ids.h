/* Identifiers of the program's menus, bitmaps, icons, strings and of the
   About box. Plain #defines so that windres reads this file too. */
#ifndef HALVORSIGHT_RESOURCE_IDS_H
#define HALVORSIGHT_RESOURCE_IDS_H

#define IDR_MAINFRAME         128
#define IDB_STATUS_IMAGES     130
#define IDB_TOOLBAR_HOT       134
#define IDB_TOOLBAR_NORMAL    135
#define IDR_CONTEXT_MENU      137
#define IDI_ABOUT             139
#define IDI_BLINK             140
#define IDR_TRAY_MENU         141
#define IDB_STATUS_IMAGES_24  142
#define IDB_STATUS_IMAGES_32  143
#define IDB_TOOLBAR_NORMAL_150 144
#define IDB_TOOLBAR_HOT_150   145
#define IDB_TOOLBAR_NORMAL_200 146
#define IDB_TOOLBAR_HOT_200   147
#define IDD_ABOUTBOX          100
/* The status bar's text while no menu or button is pointed at. */
#define IDS_READY             104

#endif
