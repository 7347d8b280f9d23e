// The Preferences dialog's resource name and its first control id, shared by
// the resource script and the code. Plain defines: the resource compiler
// reads this file too. A control's id is the first id plus its place in the
// dialog's tab order (SetupControl); OK and Cancel are IDOK and IDCANCEL.
#pragma once

#define IDD_SETUP L"SETUP"
#define IDC_SETUP_FIRST 1000
