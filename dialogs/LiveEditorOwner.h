// Who opens a live editor (the main window). The editor shows itself over the owner's window
// and hands the owner back, unlooked-into, as the first argument of every read and write
// callback; only the callbacks know what it is.
#pragma once

class wxWindow;

class LiveEditorOwner {
public:
    virtual ~LiveEditorOwner() = default;
    // The editor's parent window.
    virtual wxWindow* EditorParent() = 0;
};
