/* Resource ids of the Add command's dialogs: the method choice, the start-up
   prompt and the five steps of the add wizard. Plain #defines so that
   windres reads this file too. */
#ifndef HALVORSIGHT_ADD_WIZARD_IDS_H
#define HALVORSIGHT_ADD_WIZARD_IDS_H

#define IDD_ADD_METHOD        170
#define IDD_STARTUP_PROMPT    171
#define IDD_WIZARD_NAME       172
#define IDD_WIZARD_TYPE       173
#define IDD_WIZARD_ADDRESS    174
#define IDD_WIZARD_FILE       175
#define IDD_WIZARD_ACCOUNT    176
#define IDD_WIZARD_COMPARE    177

/* Every step ends with 1 (Next or Finish), 3 (Back) or 0 (Cancel). */
#define IDC_WIZARD_BACK       3

#define IDC_METHOD_WIZARD     1034
#define IDC_METHOD_CLASSIC    1035
#define IDC_PROMPT_ICON       1060

#define IDC_WIZARD_TYPE_HTML  1003
#define IDC_WIZARD_TYPE_WEB   1004
#define IDC_WIZARD_TYPE_FTP   1005
#define IDC_WIZARD_TYPE_LOCAL 1006
#define IDC_WIZARD_NAME       1007
#define IDC_WIZARD_LOCATION   1008
#define IDC_WIZARD_USER_NAME  1012
#define IDC_WIZARD_PASSWORD   1013
#define IDC_WIZARD_COUNT      1025
#define IDC_WIZARD_START      1026
#define IDC_WIZARD_BINARY     1027
#define IDC_WIZARD_BY_COUNT   1028
#define IDC_WIZARD_BY_MIDDLE  1029
#define IDC_WIZARD_END        1030
#define IDC_WIZARD_EXAMPLE    1037
#define IDC_WIZARD_PATH       1038
#define IDC_WIZARD_BROWSE     1039
#define IDC_WIZARD_ACCOUNT    1040
#define IDC_WIZARD_EXPLAIN    1049

#endif
