#pragma once
#include <QString>

// The key of each toolbar command in the language modules "ToolBar" and
// "StatusBar". Keys are kept as decimal text, as the language files spell
// them, and read as numbers when used.
namespace commandtexts {

struct Entry {
    int command;
    const char* key;
};

// The 15 entries in table order.
const Entry* begin();
const Entry* end();

// The key of `command`, or 0 when the command is not in the table (the
// status bar then shows its idle prompt, key 0).
int keyOf(int command);

} // namespace commandtexts
