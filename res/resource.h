// Identifiers of the plug-in's resources and of the settings dialog's controls.
#pragma once

#define IDI_VOSTREL 1

#define IDD_SETUP 101
#define IDD_RESULT 103

#define IDC_ONCE 1000
#define IDC_OPENRIMARTS 1001
#define IDC_MODE_LOSS 1003
#define IDC_MODE_ALWAYS 1004
#define IDC_AUTHORLINK 1005
