#pragma once
#include <QStringList>

// vantrel-cli info, query and sample; args are the words after the command.
int runInfoCommand(QStringList args);
int runQueryCommand(QStringList args);
int runSampleCommand(QStringList args);
