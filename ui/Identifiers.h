// Identifiers of the resources, menu commands, controls and field slots.
// Shared by the code and the resource script, so it holds #defines only.
#pragma once

#define IDR_MENU 100
#define IDD_DIALOG1 101

// Menu pop-ups carry item ids of their own.
#define ID_FILE_MENU 0
#define ID_EDIT_MENU 100
#define ID_HELP_MENU 200

#define ID_FILE_NEW 1
#define ID_FILE_OPEN 2
#define ID_FILE_SAVE 3
#define ID_FILE_SAVE_AS 4
#define ID_FILE_EXIT 5
#define ID_EDIT_NEW_PROBLEM 101
#define ID_EDIT_SELECT_PROBLEM 102
#define ID_HELP_VERSION 201

#define IDC_ADD_BUTTON 10000
#define IDC_TYPE_COMBO 10001
#define IDC_TYPE_LABEL 10002
#define IDC_FILE_LABEL 10003
#define IDC_PROBLEM_LABEL 10004
#define IDC_BRANCH_BUTTON 10005

// Field slot i has control identifier IDC_FIELD_FIRST + i.
#define IDC_FIELD_FIRST 20001
#define FIELD_SLOT_COUNT 31
#define IDC_FIELD_LAST (IDC_FIELD_FIRST + FIELD_SLOT_COUNT - 1)

// The list box of the selection dialog.
#define IDC_SELECTION_LIST 4
