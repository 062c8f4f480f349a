// GridDemo's entry point and its one application object.
#include "demo/DemoApp.h"

CGridDemoApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
