// Resource ids of the card check tool (dialog template, icon, picture, controls).
#pragma once

#define IDD_CARD_CHECK 100
#define IDI_APP_ICON 128
#define IDB_CARD_PICTURE 143

#define IDC_FRAME 1000
#define IDC_BASIC_GRID 1008
#define IDC_READ_BASIC 1010
#define IDC_PIN_RESET 1012
#define IDC_DEBIT 1013
#define IDC_RESULT_LIST 1014
