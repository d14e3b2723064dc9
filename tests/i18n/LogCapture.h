#pragma once
#include <QString>
#include <QStringList>

// Sends the ERROR entries of the root logger into a temporary file for the
// whole test run, so tests can check what a failure logged. The layout is
// the facade's own text: "<text> [<unit>:<line> <function>]".
namespace logcapture {

// The entries written since the previous call (or since the start).
QStringList takeNewEntries();

} // namespace logcapture
