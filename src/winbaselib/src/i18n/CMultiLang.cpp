#include "winbaselib/src/i18n/CMultiLang.h"

#include "util/CCodeConverter.h"
#include "util/Log.h"
#include "util/PathUtil.h"

#include <QFileInfo>

#include <pugixml.hpp>

#include <limits>
#include <optional>

namespace {

constexpr const char* logUnit = "winbaselib/src/i18n/multilang";

QString fromUtf8(const char* text)
{
    CCodeConverter converter;
    const char16_t* wide = converter.utf8ToWide(text);
    return wide ? QString::fromUtf16(wide) : QString();
}

// Reads a key text the way a decimal string-to-int conversion does: leading
// blanks, an optional sign, then digits up to the first non-digit. Callers
// form key texts from integers, but the key-text lookups are public, and a
// text without a number or beyond the int range must give "not found"
// instead of throwing out of a lookup that is documented never to fail.
std::optional<std::int32_t> keyFromText(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= n || text[i] < u'0' || text[i] > u'9')
        return std::nullopt;
    // Accumulate as a negative number so that INT32_MIN fits.
    std::int64_t value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 - (text[i].unicode() - u'0');
        if (value < std::numeric_limits<std::int32_t>::min())
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

int CMultiLang::setLangFile(const char16_t* langFilePath)
{
    if (!langFilePath) {
        VLOG_ERROR(logUnit, "pLangFilePath pointer is nullptr.");
        return -1;
    }
    return setLangFile(QString::fromUtf16(langFilePath));
}

int CMultiLang::setLangFile(const QString& path)
{
    if (!pathExists(path)) {
        VLOG_ERROR(logUnit, "language file not exists.");
        return -1;
    }
    // Loading happens twice at start-up and never again; a path that is
    // already loaded is not reread even when the file changed on disk.
    if (path == langFilePath && loaded)
        return 0;

    langFilePath = path;
    const int result = loadAllEntry();
    loaded = result == 0;
    if (result != 0) {
        VLOG_ERROR(logUnit, "loadAllEntry failed.");
        return -2;
    }
    return 0;
}

int CMultiLang::loadAllEntry()
{
    if (langFilePath.isEmpty()) {
        VLOG_ERROR(logUnit, "language file path is empty.");
        return -1;
    }
    // The extension is taken after the last '.' of the whole path and must be
    // exactly lower-case "xml": "X.XML", "x.xml.bak" and "a.d/file" all fail.
    if (getFileExtension(langFilePath) != QStringLiteral("xml")) {
        VLOG_ERROR(logUnit, "language file format error.");
        return -2;
    }
    // Parse into a fresh table so a broken file never leaves half a table.
    TextTable parsed;
    if (parseLangFile(reinterpret_cast<const char16_t*>(langFilePath.utf16()), parsed) < 0) {
        VLOG_ERROR(logUnit, "parse language file failed.");
        return -3;
    }
    textTable = std::move(parsed);
    return 0;
}

int CMultiLang::parseLangFile(const char16_t* file, TextTable& table)
{
    if (!file) {
        VLOG_ERROR(logUnit, "pfile pointer is empty.");
        return -1;
    }

    pugi::xml_document document;
    pugi::xml_parse_result result;
    // A folder opens as a file on Linux and its "size" can be huge; refuse it
    // as a read error instead of letting the parser try to allocate that.
    if (QFileInfo(QString::fromUtf16(file)).isDir()) {
        result.status = pugi::status_io_error;
    } else {
        CCodeConverter converter;
        result = document.load_file(converter.wideToAnsi(file), pugi::parse_default,
                                    pugi::encoding_auto);
    }
    if (!result) {
        VLOG_ERROR(logUnit, QStringLiteral("load xmlfile failed, errmsg:")
                                + QString::fromUtf8(result.description()));
        return -2;
    }

    for (const pugi::xpath_node& selected : document.select_nodes("/Language/Module")) {
        const pugi::xml_node module = selected.node();
        const QString name = fromUtf8(module.attribute("Name").value());
        if (table.find(name) != table.end())
            continue;
        KeyTexts entries;
        // Every child node is an entry, text and CDATA included; those have
        // no attributes and so land on key 0 with an empty text.
        for (const pugi::xml_node entry : module.children()) {
            const std::int32_t key = entry.attribute("ID").as_int(0);
            entries.try_emplace(key, fromUtf8(entry.attribute("Text").value()));
        }
        table.emplace(name, std::move(entries));
    }
    return static_cast<int>(table.size());
}

int CMultiLang::setTrFindModule(const char16_t* moduleName)
{
    if (!moduleName) {
        VLOG_ERROR(logUnit, "pModuleName pointer is nullptr.");
        return -1;
    }
    return setTrFindModule(QString::fromUtf16(moduleName));
}

int CMultiLang::setTrFindModule(const QString& moduleName)
{
    if (moduleName.isEmpty()) {
        VLOG_ERROR(logUnit, "module name is empty");
        return -1;
    }
    currentModule = moduleName;
    return 0;
}

QString CMultiLang::findText(const QString& moduleName, const QString& keyText) const
{
    if (moduleName.isEmpty() || keyText.isEmpty())
        return QString();
    const auto module = textTable.find(moduleName);
    if (module == textTable.end())
        return QString();
    const std::optional<std::int32_t> key = keyFromText(keyText);
    if (!key)
        return QString();
    const auto entry = module->second.find(*key);
    return entry == module->second.end() ? QString() : entry->second;
}

QString CMultiLang::findText(const char16_t* moduleName, const char16_t* keyText) const
{
    if (!moduleName || !keyText)
        return QString();
    return findText(QString::fromUtf16(moduleName), QString::fromUtf16(keyText));
}

QString CMultiLang::findText(int key) const
{
    return findText(QString::number(key));
}

QString CMultiLang::findText(const QString& keyText) const
{
    if (currentModule.isEmpty())
        return QString();
    return findText(currentModule, keyText);
}

QString CMultiLang::findText(const char16_t* keyText) const
{
    if (!keyText)
        return QString();
    return findText(QString::fromUtf16(keyText));
}
