// Resource ids of GridDemo: the numbers dialog of the Table menu.
#pragma once

#define IDD_NUMBERS 200
// Label and edit field of each row, from the first: IDC_NUMBER_LABEL + i, IDC_NUMBER_VALUE + i.
#define IDC_NUMBER_LABEL 201
#define IDC_NUMBER_VALUE 211
#define IDC_NUMBER_ERROR 221
