/* Addresses of the Help menu's pages. Plain #defines so that the resource
   script's string table (the items' status-bar prompts) and the code use
   the same texts. */
#ifndef HALVORSIGHT_HELP_LINKS_H
#define HALVORSIGHT_HELP_LINKS_H

/* The manual page ships beside the program. */
#define HS_MANUAL_FILE   "manual.html"
#define HS_SUPPORT_URL   "https://www.tollenbylab.example/halvorsight/support.html"
#define HS_HOMEPAGE_URL  "https://www.tollenbylab.example/"

#endif
