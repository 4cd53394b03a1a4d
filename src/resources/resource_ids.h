// Identifiers of the program's resources.
#pragma once

#define IDS_SAVER_NAME 1
#define IDI_VORN 1
#define IDB_SPRITE_SHEET 101
#define IDB_TITLE_BAR 102       /* 500 x 22, dark blue stripes */
#define IDB_CLOSE_RELEASED 103  /* 15 x 15, imgImages(0) */
#define IDB_CLOSE_PRESSED 104   /* 16 x 15, imgImages(1) */
#define IDB_BUTTON_RELEASED 105 /* 21 x 20, Img_Off */
#define IDB_BUTTON_PRESSED 106  /* 21 x 20, Img_On */
#define IDC_HAND_POINTER 107    /* 32 x 32 cursor, hot spot (12, 1) */
#define IDB_PREVIEW_STILL 108   /* 152 x 112, the preview-mode still */
