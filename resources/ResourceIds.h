#pragma once

// Identifiers shared by the resource script and the program.
#define IDI_TOVASK 1
#define IDC_HAND_POINTER 101
#define IDB_LOGO_INFO1 201
#define IDR_LOGO_INFO2 202
