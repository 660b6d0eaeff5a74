#include "ui/FieldTexts.h"

#include "ui/EditorState.h"
#include "ui/Layout.h"

#include <windows.h>

#include <vector>

namespace {

constexpr int kFieldBufferSize = 32768;
const char kBlankText[] = " ";

HWND fieldControl(int slot)
{
    return editorState.fieldControls[static_cast<std::size_t>(slot)];
}

std::string fieldText(int slot, std::vector<char>& buffer)
{
    const int length = GetWindowTextA(fieldControl(slot), buffer.data(), kFieldBufferSize);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : kBlankText;
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
