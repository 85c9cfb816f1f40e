// Built without Qt's include paths: every header of the windowing binding that the
// program includes compiles on its own, so none of them exposes a Qt type.
#include "ui/Afx.h"
#include "ui/CButton.h"
#include "ui/CCmdTarget.h"
#include "ui/CDC.h"
#include "ui/CDataExchange.h"
#include "ui/CDialog.h"
#include "ui/CEdit.h"
#include "ui/CFileDialog.h"
#include "ui/CMenu.h"
#include "ui/CPaintDC.h"
#include "ui/CProgressCtrl.h"
#include "ui/CRect.h"
#include "ui/CWinApp.h"
#include "ui/CWnd.h"
#include "ui/MessageMap.h"
#include "ui/TestSeams.h"
#include "ui/WinUser.h"
#include "res/DialogTemplate.h"
#include "res/IconData.h"
#include "res/StringTable.h"
#include "res/VersionInfo.h"
#include "res/resource.h"
#include "app/CInfoDlg.h"

#ifdef QT_VERSION
#error "a public header of the windowing binding pulled in Qt"
#endif
