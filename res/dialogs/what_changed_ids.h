/* Control identifiers of the "What changed" window (made in code, no
   template); the end-to-end driver finds the controls by them. */
#ifndef HALVORSIGHT_WHAT_CHANGED_IDS_H
#define HALVORSIGHT_WHAT_CHANGED_IDS_H

#define IDC_WC_HISTORY        1101
#define IDC_WC_COMPARE        1102
#define IDC_WC_OPEN           1103
#define IDC_WC_SAVE           1104
#define IDC_WC_BASELINE       1105
#define IDC_WC_PREVIOUS       1106
#define IDC_WC_NEXT           1107
#define IDC_WC_ONE_COLUMN     1108
#define IDC_WC_TEXT_ONLY      1109
#define IDC_WC_SUMMARY        1110
#define IDC_WC_VIEW           1111
#define IDC_WC_EVENTS         1112

#endif
