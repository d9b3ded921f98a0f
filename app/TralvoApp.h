#pragma once

class CTralvoDlg;

// The application: start-up keys the settings store, builds the main window, restores the
// COM port and runs the window modally; the program ends when it closes.
class CTralvoApp {
public:
    // Runs the whole program. Always false: there is no message loop after the window.
    bool InitInstance();
};

// Start-up's port restore into the main window: the stored port, and whether the chooser
// opens at once. A first run stores "COM99".
void RestorePortIntoWindow(CTralvoDlg& window);
