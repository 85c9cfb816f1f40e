// The program's entry: the windowing binding's entry routine runs the application object.
#include "ui/CWinApp.h"

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
