// Everything the main window keeps between messages, for the whole run.
#pragma once

#include "document/EditingContext.h"
#include "ui/Identifiers.h"

#include <windows.h>

#include <array>
#include <string>

constexpr DWORD kFileBufferSize = 260;

struct EditorState {
    std::string filePath;   // empty: the set has no file yet
    std::string fileTitle;  // file-name part of filePath, shown in the file label
    // The problem the next Add overwrites and the top-level problem that
    // receives the next new problem.
    EditingContext editing;
    // A destroyed field's handle stays in its slot until the slot is filled
    // again; only the slots of the kind on show are read.
    std::array<HWND, FIELD_SLOT_COUNT> fieldControls{};
    HMENU menu = nullptr;
    bool created = false; // WM_CREATE built the window
    // The labels and buttons are found by identifier when they are needed.
    HWND typeCombo = nullptr;
    // Kept from one file dialog to the next: the last path pre-fills it.
    std::array<char, kFileBufferSize> pathBuffer{};
    std::array<char, kFileBufferSize> fileNameBuffer{};
};

// The one state of the run's one main window.
extern EditorState editorState;
