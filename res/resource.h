#pragma once

// Every resource and command id of Tavrel. Included by the resource script and by C++ alike, so it
// holds nothing but #define lines and includes.

// The commands the framework defines: ID_APP_ABOUT, ID_HELP.
#include "framework/FrameworkIds.h"

// Version record
#define VS_VERSION_INFO_ID 1

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 102

// Strings
#define IDS_ABOUTBOX 101

// Icons
#define IDI_MAINFRAME 129

// Menus
#define IDR_HELPMENU 130

// Controls without an id of their own
#define IDC_STATIC (-1)

// Controls of the settings dialog
#define IDC_LABEL_CONTROL_UNIT 1000
#define IDC_LABEL_SHELF_MNG 1001
#define IDC_LABEL_SUBNET_MASK 1002
#define IDC_LABEL_DEFAULT_ROUTER 1003
#define IDC_CONTROL_UNIT_IP 1004
#define IDC_SHELF_MNG_IP 1005
#define IDC_SUBNET_MASK 1006
#define IDC_DEFAULT_ROUTER 1007

// Commands
#define IDM_ABOUTBOX 0x0010
