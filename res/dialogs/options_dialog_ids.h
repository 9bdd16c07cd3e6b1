/* The Options dialog's template and control identifiers. */
#ifndef HALVORSIGHT_OPTIONS_DIALOG_IDS_H
#define HALVORSIGHT_OPTIONS_DIALOG_IDS_H

#define IDD_OPTIONS           138
#define IDC_STARTUP_CHECK     1016
#define IDC_PERIODIC_CHECK    1017
#define IDC_MINUTES_SPIN      1020
#define IDC_MINUTES_TEXT      1021
#define IDC_PLAY_SOUND        1022
#define IDC_AUTO_OPEN         1023
#define IDC_CHANGE_BALLOONS   1024
#define IDC_AUTOMATIC_GROUP   1031
#define IDC_MINUTES_LABEL     1032

#endif
