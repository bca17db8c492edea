// A library without HtmlHelpA, which no other part of the tests loads.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI NotAViewer() {
    return 1;
}
