// Resource identifiers of the program (decimal unless noted).
#pragma once

// Dialog templates.
#define IDD_INFO 100
#define IDD_PANEL 102

// Icon group.
#define IDI_APPICON 128

// String table.
#define IDS_INFOMENU 101

// Version block.
#define VS_VERSION_INFO 1

// The panel's system-menu command for the Info box.
#define IDM_INFOBOX 0x0010

// The panel's controls.
#define IDC_PROGRESS 1008
#define IDC_ERASE 1009
#define IDC_WRITE 1010
#define IDC_VERIFY 1011
#define IDC_EXECUTE 1012
#define IDC_BROWSE 1013
#define IDC_FILENAME 1014
#define IDC_INFO 1015
#define IDC_COM1 1018
#define IDC_COM3 1019
#define IDC_COM2 1020
#define IDC_COM4 1021
#define IDC_TRANSFERTEST 1022
#define IDC_LOCK 1023
#define IDC_BLANKTEST 1024

// Controls that the code never addresses.
#define IDC_STATIC (-1)

// The standard help command; the application's map sends it to CWinApp::OnHelp.
#define ID_HELP 0xE146

// The application title string; the string table has none, so the title is the
// executable's name.
#define AFX_IDS_APP_TITLE 0xE000

// Resource languages.
#define LANG_GERMAN_GERMANY 0x0407
#define LANG_NEUTRAL_DEFAULT 0x0400
