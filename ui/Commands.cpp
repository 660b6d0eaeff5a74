#include "ui/Commands.h"

#include "ui/Identifiers.h"
#include "ui/Layout.h"

LRESULT OnCommand(HWND window, WORD id, WORD notification)
{
    switch (id) {
    case IDC_TYPE_COMBO:
        if (notification == CBN_SELCHANGE)
            RebuildFields(window);
        return 0;
    default:
        // Anything else, the field controls' notifications among them.
        return 0;
    }
}
