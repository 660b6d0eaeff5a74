// The texts of the per-kind edit fields on show, in field order (the order
// of getFields and createProblem).
#pragma once

#include "model/Problem.h"

// The texts of the kind's fields; an empty one comes back as the blank text
// " ", so that no text the editor stores is empty. A text is cut to the
// whole characters of its first 32767 bytes.
TextList ReadFieldTexts(int kind);

// Puts the texts into the kind's fields, in field order.
void ShowFieldTexts(int kind, const TextList& texts);

void ClearFieldTexts(int kind);
