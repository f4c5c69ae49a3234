#pragma once

// Dialog templates
#define IDD_LAUNCHER 101
#define IDD_OPTIONS 105

// Icon group of the program file
#define IDI_VORTHAL 125

// Launcher dialog
#define IDC_PLAY 1000
#define IDC_OPTIONS 1001
#define IDC_CLOSE 1002
#define IDC_GAMEPAD 1003
#define IDC_WEBVIEW 1026
#define IDC_LAUNCHERCOMBO 1027

// Options dialog
#define IDC_RESOLUTION 1004
#define IDC_MOTIONBLUR 1007
#define IDC_LENSFLARE 1008
#define IDC_BLOOM 1009
#define IDC_SMOKE 1010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
