// SkinH.dll: the skin library the main window attaches once at start. Ours
// keeps the system look; it exists so the start-up path is the same whether
// or not a skin is present.
#include <windows.h>

extern "C" __declspec(dllexport) int SkinH_Attach() { return 0; }
