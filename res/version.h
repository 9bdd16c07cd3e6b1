/* The program's version, maker and title, shared by the version resource, the
   About box and the installer (the build reads this file for it). Plain
   #defines so that windres reads this file too. */
#ifndef HALVORSIGHT_VERSION_H
#define HALVORSIGHT_VERSION_H

#define HS_VERSION_MAJOR     5
#define HS_VERSION_MINOR     0
#define HS_VERSION_TEXT      "5.0"
#define HS_PRODUCT_NAME      "Halvorsight"
#define HS_COMPANY_NAME      "Tollenby Lab"
#define HS_COPYRIGHT         "Copyright (C) 2026 Tollenby Lab"
#define HS_FILE_DESCRIPTION  "Halvorsight document monitor"
/* The main window's caption, the message boxes' caption and the key of the
   single-instance test. */
#define HS_APP_TITLE         "Tarnwell (QVR) - Halvorsight"

#endif
