// Resource and control ids of the simulated reader's PIN pad (a test drives it by these).
#pragma once

#define IDD_PIN_PAD 100
#define IDC_PIN_PROMPT 1001
#define IDC_PIN_EDIT 1002
