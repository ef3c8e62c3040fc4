#pragma once

#define IDI_KORVALIS 1
#define IDR_MAINMENU 100
#define IDR_ACCELERATORS 101

// Menu commands. The three type entries are one indexed command: IDM_TYPE_FIRST + index.
#define IDM_SELECT_FS2004 1001
#define IDM_SELECT_FS2002 1002
#define IDM_SELECT_OWN 1003
#define IDM_TYPE_FIRST 1010
#define IDM_TYPE_AIRCRAFT 1010
#define IDM_TYPE_HELICOPTER 1011
#define IDM_TYPE_NONFLYABLE 1012
#define IDM_READ 1020
#define IDM_WRITE 1021
#define IDM_SELECT_MY 1022
#define IDM_ABOUT 1023
#define IDM_END 1024
// Commands outside the menu bar: keys and the list's context menu.
#define IDM_SELECT_ALL 1030
#define IDM_COPY 1031
#define IDM_RESTORE 1032
#define IDM_OPEN_FOLDER 1033
// Marking from the context menu and keys. The kinds of "Mark rows of type" are one indexed
// command: IDM_MARK_KIND_FIRST + the kind (Aircraft, Helicopter, non flyable, without a type,
// changed and not written).
#define IDM_MARK_ROWS 1050
#define IDM_INVERT_MARKS 1051
#define IDM_MARK_KIND_FIRST 1052
#define IDM_MARK_KIND_LAST 1056

#define IDC_AIRFILES 2001
#define IDC_STATUS 2002

// The folder chooser / About dialog.
#define IDD_FSDIALOG 300
#define IDC_DRIVELIST 3001
#define IDC_DIRLIST 3002
#define IDC_SOURCEDIR 3003
#define IDC_ABOUTLABEL 3004

// The "Mark rows" dialog.
#define IDD_MARKDIALOG 310
#define IDC_MARKLABEL 3101
#define IDC_MARKTEXT 3102
#define IDC_MARKHINT 3103
#define IDC_MARKKEEP 3104
#define IDC_MARKTYPELABEL 3105
#define IDC_MARKTYPE 3106
#define IDC_MARKAMONG 3107
