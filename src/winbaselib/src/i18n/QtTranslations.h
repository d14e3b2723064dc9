#pragma once

class QCoreApplication;

// Makes Qt's own texts (file, colour and print dialogs, standard buttons)
// follow the chosen language, so a user who picked Simplified Chinese does
// not get English file dialogs. languageId is the LANGUAGEID setting:
// 0 loads Qt's Simplified Chinese catalogue (qtbase_zh_CN from Qt's
// translations folder), 1 needs none because Qt's texts are English.
// A translator installed by an earlier call is removed first, so calls
// never stack. Returns false, with no translator installed, when the
// catalogue cannot be loaded or the language has no Qt catalogue here.
bool installQtTranslations(QCoreApplication& app, int languageId);
