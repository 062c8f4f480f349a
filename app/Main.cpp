// The program's entry point and its one application object.
#include "app/CardCheckApp.h"

CCardCheckApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
