#pragma once

// Identifiers shared by the resource script and the program.
#define IDI_TOVASK 1
#define IDC_HAND_POINTER 101
#define IDB_LOGO_INFO1 201
#define IDR_LOGO_INFO2 202
// The findings dialog and its controls.
#define IDD_FINDINGS 301
#define IDC_FINDINGS_INTRO 302
#define IDC_FINDINGS_TO_REPAIR 303
#define IDC_FINDINGS_LEFT_INTRO 304
#define IDC_FINDINGS_LEFT 305
#define IDC_FINDINGS_BACKUP 306
#define IDC_FINDINGS_DETAILS_LABEL 307
#define IDC_FINDINGS_DETAILS 308
