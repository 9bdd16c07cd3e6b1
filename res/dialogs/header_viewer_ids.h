/* The header viewer's template and control identifiers. */
#ifndef HALVORSIGHT_HEADER_VIEWER_IDS_H
#define HALVORSIGHT_HEADER_VIEWER_IDS_H

#define IDD_HEADER_VIEWER     160
#define IDC_HEADER_HEX        1051
#define IDC_HEADER_TEXT       1052

#endif
