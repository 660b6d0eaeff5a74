#include "ui/Layout.h"

void CreateFixedControls(HWND)
{
}

void RebuildFields(HWND)
{
}
