/* Command identifiers of the menus, the toolbar, the accelerators and the
   popup menus. Plain #defines so that windres reads this file too; what
   each command does and when it is available is in
   app/win32/command_table.cpp. */
#ifndef HALVORSIGHT_COMMAND_IDS_H
#define HALVORSIGHT_COMMAND_IDS_H

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
#define ID_DOC_WHAT_CHANGED   32807
#define ID_APP_ABOUT_CMD      57664
#define ID_VIEW_TOOLBAR_CMD   59392
#define ID_VIEW_STATUS_BAR_CMD 59393

#endif
