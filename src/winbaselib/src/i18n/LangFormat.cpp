#include "winbaselib/src/i18n/LangFormat.h"

QString formatLangText(const QString& format, std::initializer_list<long long> numbers)
{
    QString out;
    out.reserve(format.size() + 8);
    auto next = numbers.begin();
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const QChar conversion = format[i + 1];
            if (conversion == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            if (conversion == u'd' && next != numbers.end()) {
                out += QString::number(*next++);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString placeholderPattern(const QString& text)
{
    static const QString flags = QStringLiteral("-+ #0'");
    static const QString lengths = QStringLiteral("hljztLqI");
    QString pattern;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%')
            continue;
        qsizetype j = i + 1;
        if (j < text.size() && text[j] == u'%') {
            i = j;
            continue;
        }
        while (j < text.size() && flags.contains(text[j]))
            ++j;
        while (j < text.size() && (text[j].isDigit() || text[j] == u'*' || text[j] == u'.'))
            ++j;
        while (j < text.size() && lengths.contains(text[j]))
            ++j;
        // The conversion letter ends the placeholder; a '%' at the very end has none.
        const qsizetype end = j < text.size() ? j + 1 : j;
        pattern += text.mid(i, end - i);
        i = end - 1;
    }
    return pattern;
}
