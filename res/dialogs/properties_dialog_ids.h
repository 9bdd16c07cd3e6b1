/* The document properties dialog's template and control identifiers. */
#ifndef HALVORSIGHT_PROPERTIES_DIALOG_IDS_H
#define HALVORSIGHT_PROPERTIES_DIALOG_IDS_H

#define IDD_PROPERTIES        129
#define IDC_TYPE_HTML         1003
#define IDC_TYPE_WEB          1004
#define IDC_TYPE_FTP          1005
#define IDC_TYPE_LOCAL        1006
#define IDC_DOC_NAME          1007
#define IDC_LOCATION          1008
#define IDC_LOCATION_ACTION   1009
#define IDC_USE_ACCOUNT       1011
#define IDC_USER_NAME         1012
#define IDC_PASSWORD          1013
#define IDC_HINT              1014
#define IDC_LOCATION_GROUP    1015
#define IDC_COUNT_STRING      1025
#define IDC_MIDDLE_START      1026
#define IDC_COMPARE_BINARY    1027
#define IDC_COMPARE_COUNT     1028
#define IDC_COMPARE_MIDDLE    1029
#define IDC_MIDDLE_END        1030

#endif
