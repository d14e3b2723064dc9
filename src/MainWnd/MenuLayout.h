#pragma once
#include <QKeySequence>

#include <vector>

// The document menu (File, View, Language, Help) and the accelerator
// table, as data. The menu texts are numbered over the whole menu in this
// order, so the order here is the numbering of the language files.
namespace menulayout {

struct TopMenu {
    // Command ids of the items in order; 0 is a separator.
    std::vector<int> items;
};

const std::vector<TopMenu>& documentMenu();

struct Accelerator {
    QKeySequence keys;
    int command;
};

// In table order; the first entry of a key wins.
const std::vector<Accelerator>& accelerators();

// The commands some handler of the program serves. Keys of the other
// entries (cut, copy, paste, undo, new, next and previous pane) are left
// to the focused widget, which gives a cell editor its usual editing keys
// where a frame-wide key would do nothing.
bool isServedCommand(int command);

} // namespace menulayout
