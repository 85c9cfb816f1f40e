#include "res/DialogTemplate.h"

#include "res/resource.h"

// The control panel. Style 0x90C800C0: WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
// DS_MODALFRAME | DS_SETFONT; extended style 0x00040000: WS_EX_APPWINDOW.
static const DialogItemTemplate kPanelItems[] = {
    // BS_DEFPUSHBUTTON | WS_TABSTOP
    {1012, "BUTTON", 0x50010001, 0, "ausführen", 0, 135, 55, 95, 40, 0},
    // BS_PUSHBUTTON | WS_TABSTOP
    {1, "BUTTON", 0x50010000, 0, "beenden", 0, 135, 100, 95, 20, 0},
    {1013, "BUTTON", 0x50010000, 0, "Datei auswählen", 0, 135, 30, 95, 20, 0},
    {1015, "BUTTON", 0x50010000, 0, "Info", 0, 135, 5, 95, 19, 0},
    // BS_AUTORADIOBUTTON | WS_GROUP, each radio its own group, no tab stop
    {1018, "BUTTON", 0x50020009, 0, "COM1", 0, 75, 15, 55, 10, 0},
    {1020, "BUTTON", 0x50020009, 0, "COM2", 0, 75, 30, 55, 10, 0},
    {1019, "BUTTON", 0x50020009, 0, "COM3", 0, 75, 45, 55, 10, 0},
    {1021, "BUTTON", 0x50020009, 0, "COM4", 0, 75, 60, 55, 10, 0},
    // BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP
    {1009, "BUTTON", 0x50030003, 0, "löschen", 0, 5, 15, 60, 10, 0},
    // BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED
    {1010, "BUTTON", 0x58010003, 0, "schreiben", 0, 5, 30, 60, 10, 0},
    {1011, "BUTTON", 0x58010003, 0, "vergleichen", 0, 5, 45, 60, 8, 0},
    // WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL | ES_LOWERCASE; WS_EX_CLIENTEDGE
    {1014, "EDIT", 0x50810890, 0x00000200, "", 0, 5, 125, 225, 15, 0},
    // WS_BORDER, not visible
    {1008, "msctls_progress32", 0x40800000, 0, "Progress1", 0, 5, 105, 125, 10, 0},
    // SS_LEFT | WS_GROUP
    {-1, "STATIC", 0x50020000, 0, "Version 1.0, Januar '99", 0, 5, 0, 90, 10, 0},
    // BS_AUTOCHECKBOX | WS_TABSTOP
    {1022, "BUTTON", 0x50010003, 0, "Übertragungstest", 0, 5, 90, 101, 10, 0},
    {1023, "BUTTON", 0x50010003, 0, "Schreibschutz", 0, 5, 60, 61, 10, 0},
    {1024, "BUTTON", 0x50010003, 0, "Leer-Test", 0, 5, 75, 65, 10, 0},
};

// The Info box. Style 0x80C000C0: WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
// no WS_SYSMENU, so no system menu and no close box.
static const DialogItemTemplate kInfoItems[] = {
    // SS_ICON showing IDI_APPICON
    {-1, "STATIC", 0x50000003, 0, nullptr, IDI_APPICON, 5, 5, 18, 20, 0},
    // SS_LEFT | SS_NOPREFIX | WS_GROUP
    {-1, "STATIC", 0x50020080, 0, "Korvanto, Version 1.0", 0, 35, 5, 119, 8, 0},
    // SS_LEFT | WS_GROUP
    {-1, "STATIC", 0x50020000, 0, "Steuerung des Programmiergeräts", 0, 35, 15, 119, 8, 0},
    // BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP
    {1, "BUTTON", 0x50030001, 0, "OK", 0, 55, 55, 65, 20, 0},
    // SS_LEFT | WS_GROUP, two lines
    {-1, "STATIC", 0x50020000, 0, "Löschen, Leer-Test, Schreiben,\nVergleichen und Schreibschutz",
     0, 35, 30, 135, 20, 0},
};

static const DialogTemplate kTemplates[] = {
    {IDD_PANEL,
     LANG_GERMAN_GERMANY,
     TRUE,
     0x90C800C0,
     0x00040000,
     0,
     0,
     237,
     141,
     nullptr,
     nullptr,
     "Steuerung Programmiergerät",
     8,
     0,
     FALSE,
     1,
     "MS Sans Serif",
     0,
     kPanelItems,
     static_cast<int>(sizeof(kPanelItems) / sizeof(kPanelItems[0]))},
    {IDD_INFO,
     LANG_GERMAN_GERMANY,
     FALSE,
     0x80C000C0,
     0,
     0,
     0,
     177,
     82,
     nullptr,
     nullptr,
     "Info über Korvanto",
     8,
     0,
     FALSE,
     1,
     "MS Sans Serif",
     0,
     kInfoItems,
     static_cast<int>(sizeof(kInfoItems) / sizeof(kInfoItems[0]))},
};

const DialogTemplate* FindDialogTemplate(UINT nID) {
    for (const DialogTemplate& t : kTemplates) {
        if (t.nID == nID)
            return &t;
    }
    return nullptr;
}
