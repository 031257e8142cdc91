// Reports the system's mouse-button swap as a new process sees it (a running process keeps the value it read first):
// exit code 1 = swapped.
#include <windows.h>

int main() { return GetSystemMetrics(SM_SWAPBUTTON) ? 1 : 0; }
