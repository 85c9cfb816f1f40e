// korvanto-wine-inspect: what the Wine end-to-end tests see of korvanto.exe's windows,
// one line per fact, UTF-8.
//
//   state TITLE [ID...]  WINDOW enabled=E, then CTRL ID visible=V enabled=E check=C text=T
//   texts TITLE          TEXT T for each child window in order (a line break as \n)
//   center TITLE ID      CENTER X Y: the control's middle on the screen
//
// Exit status 0; 1 when there is no visible window with that title, 2 for a bad call.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/windows/WineWindows.h"

namespace {

void Line(const std::string& strLine) {
    std::fwrite(strLine.data(), 1, strLine.size(), stdout);
    std::fputc('\n', stdout);
}

// A line break in a text as the two characters \n, so that a text stays on one line.
std::string OneLine(const std::string& strText) {
    std::string line;
    for (char ch : strText)
        line += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    return Utf8(line);
}

int State(HWND hWnd, int argc, char** argv) {
    Line("WINDOW enabled=" + std::to_string(IsWindowEnabled(hWnd) ? 1 : 0));
    for (int i = 0; i < argc; ++i) {
        int nID = std::atoi(argv[i]);
        HWND hCtrl = GetDlgItem(hWnd, nID);
        Line("CTRL " + std::to_string(nID) + " visible=" + std::to_string(IsWindowVisible(hCtrl)) +
             " enabled=" + std::to_string(IsWindowEnabled(hCtrl)) + " check=" +
             std::to_string(CheckOf(hWnd, nID)) + " text=" + OneLine(WindowText(hCtrl)));
    }
    return 0;
}

BOOL CALLBACK PrintText(HWND hChild, LPARAM) {
    Line("TEXT " + OneLine(WindowText(hChild)));
    return TRUE;
}

int Texts(HWND hWnd) {
    EnumChildWindows(hWnd, &PrintText, 0);
    return 0;
}

int Center(HWND hWnd, int nID) {
    RECT rect{};
    if (!GetWindowRect(GetDlgItem(hWnd, nID), &rect))
        return 1;
    Line("CENTER " + std::to_string((rect.left + rect.right) / 2) + " " +
         std::to_string((rect.top + rect.bottom) / 2));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY); // lines end in \n alone
    if (argc < 3)
        return 2;
    HWND hWnd = FindVisibleWindow(argv[2]);
    if (!hWnd) {
        Line("NOWINDOW");
        return 1;
    }
    if (std::strcmp(argv[1], "state") == 0)
        return State(hWnd, argc - 3, argv + 3);
    if (std::strcmp(argv[1], "texts") == 0)
        return Texts(hWnd);
    if (std::strcmp(argv[1], "center") == 0 && argc == 4)
        return Center(hWnd, std::atoi(argv[3]));
    return 2;
}
