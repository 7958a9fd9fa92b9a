// Stands in for the programs whose running the installer checks: tests copy it under their names,
// start it and end it.

#include <windows.h>

int main() {
    Sleep(INFINITE);
    return 0;
}
