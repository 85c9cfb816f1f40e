// The application object: it runs the control panel as the one modal main window and
// lets the process end when the panel ends. It keeps no state and reads no settings.
#pragma once

#include "ui/Afx.h"

class CKorvantoApp : public CWinApp {
public:
    CKorvantoApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CKorvantoApp theApp;
