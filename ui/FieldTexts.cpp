#include "ui/FieldTexts.h"

#include "model/ProblemKinds.h"
#include "ui/EditorState.h"
#include "ui/Layout.h"
#include "text/ShiftJis.h"

#include <windows.h>

#include <vector>

namespace {

// At most 32767 bytes of a field's text are read.
constexpr int kFieldBufferSize = 32768;

HWND fieldControl(int slot)
{
    return editorState.fieldControls[static_cast<std::size_t>(slot)];
}

// A longer text is cut at the buffer's size, which may fall inside a
// double-byte character (Wine then hands back its lead byte alone): the
// text ends before that character, so that it stays Shift-JIS and the set
// can still be saved.
std::string fieldText(int slot, std::vector<char>& buffer)
{
    const int length = GetWindowTextA(fieldControl(slot), buffer.data(), kFieldBufferSize);
    const std::string_view text(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
    const std::size_t whole = lengthOfWholeCharacters(text);
    return whole > 0 ? std::string(text.substr(0, whole)) : kBlankText;
}

} // namespace

TextList ReadFieldTexts(int kind)
{
    std::vector<char> buffer(kFieldBufferSize);
    TextList texts;
    for (int slot : TextSlots(kind))
        texts.push_back(fieldText(slot, buffer));
    return texts;
}

void ShowFieldTexts(int kind, const TextList& texts)
{
    const std::vector<int> slots = TextSlots(kind);
    for (std::size_t i = 0; i < slots.size() && i < texts.size(); ++i)
        SetWindowTextA(fieldControl(slots[i]), texts[i].c_str());
}

void ClearFieldTexts(int kind)
{
    for (int slot : TextSlots(kind))
        SetWindowTextA(fieldControl(slot), "");
}
