// The benchmark program: an application object whose InitInstance runs one
// measurement on the real device link and the real progress bar, prints its
// figures as one line of key=value fields and ends the process.
#pragma once

#include <string>

#include "ui/CWinApp.h"

class CBenchApp : public CWinApp {
public:
    CBenchApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    int RunWrite(bool bVisible);
    int RunPacing();
    int RunLine(const std::string& strJob, bool bOldDrain, bool bModelled);

    int m_nExitCode;
};
