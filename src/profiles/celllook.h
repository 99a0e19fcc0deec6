#pragma once

// How one cell of a profile value list is drawn. The current value is never shown in selection colours,
// and only the list with the keyboard focus marks its current row's key.
struct CellLook {
    // Fixed: the button face of the key column; Window: the window background; Marked: red 49, green
    // 106, blue 197.
    enum class Background { Fixed, Window, Marked };
    // FontColour: the list's own text colour; Silver: red, green and blue 192.
    enum class Text { FontColour, Black, Silver };

    Background background = Background::Window;
    Text text = Text::FontColour;

    struct Cell {
        bool keyColumn = false;
        bool currentRow = false;
        bool listFocused = false;
        bool readOnly = false;
        bool pickList = false;
    };

    // The value cell of the current row is the list's current cell: the key column never takes it.
    static CellLook For(const Cell& cell);

    bool operator==(const CellLook&) const = default;
};
