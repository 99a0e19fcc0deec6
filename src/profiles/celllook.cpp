#include "profiles/celllook.h"

CellLook CellLook::For(const Cell& cell) {
    if (cell.keyColumn) {
        if (!cell.currentRow)
            return {Background::Fixed, Text::FontColour};
        return cell.listFocused ? CellLook{Background::Marked, Text::FontColour}
                                : CellLook{Background::Window, Text::Black};
    }
    // A pick-list row is read-only to typing only; its value is still the person's to choose.
    const bool silver = cell.readOnly && !cell.pickList;
    if (silver)
        return {Background::Window, Text::Silver};
    return {Background::Window, cell.currentRow ? Text::Black : Text::FontColour};
}
