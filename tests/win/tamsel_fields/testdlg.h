// Templates and identifiers of the input field and combo box tests.
#pragma once

#define IDD_FIELDS 100
#define IDD_COMBOS 200

// Input fields, one per format.
#define IDC_PLAIN 101
#define IDC_NUMERIC 102
#define IDC_AMOUNT 103
#define IDC_DATE10 104
#define IDC_DATE8 105
#define IDC_TIME 106
#define IDC_MASK 107
#define IDC_PASSWORD 108
#define IDC_FRAMELESS 109
#define IDC_UPPER 110
#define IDC_DAYMONTH 111

#define IDC_EDITABLE 201
#define IDC_DROPLIST 202
#define IDC_AFTER 203

// The mini keyboard's dialog: an input field, a "KC_EDIT" edit, a field to move the focus to.
#define IDD_KEYBOARD 300
#define IDC_KB_FIELD 301
#define IDC_KB_EDIT 302
#define IDC_KB_OTHER 303
