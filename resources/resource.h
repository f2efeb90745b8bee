// Resource IDs of Treskel.exe and test.exe.
#pragma once

#define IDI_TRESKEL 101       // window icon of the main window, 32 x 31, 24-bit
#define IDI_INFO 102          // title-bar icon of the info window, 7 x 7, 256 colours

#define IDC_HAND 201          // pointing hand, two colours, hot spot (0, 0)
#define IDC_HAND_COLOUR 202   // pointing hand, 16 colours, hot spot (12, 1)

#define IDR_PANEL_STRIP 301   // GIF 107 x 9, transparent background
#define IDR_EXIT 302          // GIF 60 x 58, transparent background
#define IDR_LOGO 303          // GIF 100 x 79, 256 colours, no transparency
#define IDR_CLOSE_YELLOW 304  // GIF 35 x 43, one transparent colour
#define IDR_CLOSE_ORANGE 305  // GIF 36 x 43, one transparent colour
#define IDR_TEST_PICTURE 306  // GIF 268 x 267, one transparent colour
