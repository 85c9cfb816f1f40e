// The benchmark program's entry: the windowing binding runs CBenchApp.
#include "ui/CWinApp.h"

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
