#include "app/main_window/desktop_main.h"

int main(int argc, char** argv) {
    return RunDesktop(argc, argv);
}
