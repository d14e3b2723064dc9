#include "util/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

// "[name]" with blanks allowed around the brackets; returns false otherwise.
bool sectionName(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || t.front() != u'[')
        return false;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1).trimmed();
    return true;
}

// "key=value"; comment lines (';') and lines without '=' are not entries.
bool keyValue(const QString& line, QString* key, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.front() == u';')
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return false;
    *key = t.left(eq).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile::ProfileFile(QString path) : filePath(std::move(path)) {}

QStringList ProfileFile::readLines() const
{
    QFile f(filePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

bool ProfileFile::findValue(const QString& section, const QString& key, QString* value) const
{
    bool inSection = false;
    bool seenSection = false;
    for (const QString& line : readLines()) {
        QString name;
        if (sectionName(line, &name)) {
            // Only the first section of that name counts.
            if (inSection)
                return false;
            inSection = !seenSection && sameName(name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        QString k, v;
        if (inSection && keyValue(line, &k, &v) && sameName(k, key)) {
            // The profile API strips one pair of surrounding quotes.
            if (v.size() >= 2 && ((v.front() == u'"' && v.back() == u'"') ||
                                  (v.front() == u'\'' && v.back() == u'\'')))
                v = v.mid(1, v.size() - 2);
            *value = v;
            return true;
        }
    }
    return false;
}

int ProfileFile::getInt(const QString& section, const QString& key, int defaultValue) const
{
    QString v;
    if (!findValue(section, key, &v))
        return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == u'-' || v[i] == u'+')) {
        negative = v[i] == u'-';
        ++i;
    }
    long long n = 0;
    for (; i < v.size() && v[i].isDigit() && v[i].unicode() < 128; ++i) {
        n = n * 10 + (v[i].unicode() - u'0');
        if (n > 0xFFFFFFFFLL)
            n = 0xFFFFFFFFLL;
    }
    // GetPrivateProfileInt hands back a UINT; callers cast it to int.
    const auto bits = static_cast<unsigned int>(negative ? -n : n);
    return static_cast<int>(bits);
}

QString ProfileFile::getString(const QString& section, const QString& key,
                               const QString& defaultValue, int maxChars) const
{
    QString v;
    if (!findValue(section, key, &v))
        v = defaultValue;
    if (maxChars > 0 && v.size() > maxChars - 1)
        v.truncate(maxChars - 1);
    return v;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = readLines();
    const QString entry = key + u'=' + value;

    qsizetype sectionLine = -1;   // the first section of that name
    qsizetype lastEntry = -1;     // its last non-blank line
    qsizetype keyLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (sectionName(lines[i], &name)) {
            if (sectionLine >= 0)
                break;
            if (sameName(name, section)) {
                sectionLine = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!lines[i].trimmed().isEmpty())
            lastEntry = i;
        QString k;
        if (keyValue(lines[i], &k, nullptr) && sameName(k, key)) {
            keyLine = i;
            break;
        }
    }

    if (keyLine >= 0)
        lines[keyLine] = entry;
    else if (sectionLine >= 0)
        lines.insert(lastEntry + 1, entry);
    else {
        lines.append(u'[' + section + u']');
        lines.append(entry);
    }

    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QByteArray data;
    for (const QString& line : lines) {
        data += line.toUtf8();
        data += '\n';
    }
    if (out.write(data) != data.size())
        return false;
    return out.commit();
}
