#pragma once
#include <QString>

#include <cstdint>
#include <map>

// The texts of one language file, looked up by module name and integer key.
//
// A language file is XML: a root element `Language`, one `Module` element
// per module (attribute `Name`) and, inside it, one entry per child node
// with the attributes `ID` (the key) and `Text`. The application owns one
// object for the whole run: it loads the index file Language/Language.xml,
// reads the chosen language's file name from its module "language", and
// loads that file into the same object.
//
// Lookups never fail: anything missing gives an empty text, so a gap in a
// translation shows as an empty label instead of stopping the program.
// Loading reports 0 or a negative code and logs every failure.
class CMultiLang
{
public:
    using KeyTexts = std::map<std::int32_t, QString>;
    // Module names compare as UTF-16 code units: case matters, nothing is
    // trimmed.
    using TextTable = std::map<QString, KeyTexts>;

    CMultiLang() = default;
    virtual ~CMultiLang() = default;

    // 0 when the file was loaded (or is already the loaded one); -1 when
    // nothing exists at the path; -2 when loadAllEntry failed. A failed load
    // keeps the previous texts but marks the object not loaded, so the same
    // path is read again next time.
    int setLangFile(const char16_t* langFilePath);
    int setLangFile(const QString& langFilePath);

    // Reads the stored path into the table: 0; -1 empty path; -2 extension
    // not exactly "xml"; -3 the file could not be parsed (table unchanged).
    int loadAllEntry();

    // Fills `table` from the file; the number of modules, -1 for a null
    // path, -2 when the XML cannot be loaded. The first module of a name and
    // the first entry of a key win.
    int parseLangFile(const char16_t* file, TextTable& table);

    // Sets the module that the key-only lookups search: 0, or -1 for a null
    // or empty name (the current module then stays). The module need not
    // exist.
    int setTrFindModule(const char16_t* moduleName);
    int setTrFindModule(const QString& moduleName);

    QString findText(const QString& moduleName, const QString& keyText) const;
    QString findText(const char16_t* moduleName, const char16_t* keyText) const;
    QString findText(int key) const;
    QString findText(const QString& keyText) const;
    QString findText(const char16_t* keyText) const;

    bool isLoaded() const { return loaded; }
    const QString& trFindModule() const { return currentModule; }
    const QString& languageFilePath() const { return langFilePath; }
    const TextTable& texts() const { return textTable; }

private:
    bool loaded = false;
    QString currentModule;
    QString langFilePath;
    TextTable textTable;
};
