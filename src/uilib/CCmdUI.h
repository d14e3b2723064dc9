#pragma once

// The state a command target gives one command while the frame brings its
// menu items, toolbar buttons and controls up to date. A target that
// answers but leaves the enabled state alone lets the frame decide by
// whether anybody handles the command at all.
class CCmdUI
{
public:
    explicit CCmdUI(int id) : id(id) {}

    void Enable(bool on = true)
    {
        enabled = on;
        enableChanged = true;
    }
    void SetCheck(bool on)
    {
        checked = on;
        checkChanged = true;
    }

    const int id;
    bool enabled = true;
    bool enableChanged = false;
    bool checked = false;
    bool checkChanged = false;
};
