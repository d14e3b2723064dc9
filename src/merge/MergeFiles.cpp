#include "merge/MergeFiles.h"

#include "store/CppSQLite3A.h"
#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr char kDataGroupTable[] = "DataGrpData";

std::string fileSystemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromFileSystemName(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The narrow layer throws a compile failure without text, but the
// connection still holds the reason until its next call; a user told only
// "SQLITE_ERROR[1]: " could not tell a missing table from a damaged file.
std::string describe(const CppSQLite3ExceptionA& e, const CppSQLite3DBA& db)
{
    std::string message = e.message();
    const std::string bare = std::string(cppSQLite3CodeName(e.code())) + "[" + std::to_string(e.code()) + "]: ";
    if (message == bare && db.handle() && e.code() != CPPSQLITE_ERROR)
        message += sqlite3_errmsg(db.handle());
    return message;
}

QString lastComponent(const QString& folder)
{
    return folder.mid(folder.lastIndexOf(u'/') + 1);
}

QString withoutTrailingSeparators(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

std::string doubled(const std::string& text, char quote)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == quote)
            out += c;
    }
    return out;
}

bool isClosingQuote(char c)
{
    return c == '\'' || c == '"' || c == '`' || c == ']';
}

// The first ',' that ends a column definition: not inside quotes and not
// inside a type's parentheses ("DECIMAL(10,2)"). npos when the definitions
// end first.
std::size_t definitionEnd(const std::string& schema, std::size_t from)
{
    int depth = 0;
    char quote = 0;
    for (std::size_t i = from; i < schema.size(); ++i) {
        const char c = schema[i];
        if (quote) {
            if (c == quote) {
                if (quote != ']' && i + 1 < schema.size() && schema[i + 1] == quote)
                    ++i; // doubled quote inside the quoted text
                else
                    quote = 0;
            }
            continue;
        }
        if (c == '\'' || c == '"' || c == '`')
            quote = c;
        else if (c == '[')
            quote = ']';
        else if (c == '(')
            ++depth;
        else if (c == ')' && --depth < 0)
            return std::string::npos;
        else if (c == ',' && depth == 0)
            return i;
    }
    return std::string::npos;
}

} // namespace

bool isSequenceNumber(const QString& text, int& number)
{
    if (text.isEmpty())
        return false;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        // Past 100000000 the answer is no; stopping here also keeps a text
        // of any length from overflowing.
        value = value * 10 + (c.unicode() - u'0');
        if (value >= 100000000)
            return false;
    }
    number = int(value);
    return true;
}

int collectSeriesFiles(const QString& sourceFolder, SeriesFiles& series, QStringList* skipped)
{
    const QString name = lastComponent(sourceFolder);
    const QString prefix = name + u'_';
    const QFileInfoList entries =
        QDir(sourceFolder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                         QDir::Name);
    bool found = false;
    std::map<QString, QString> chosenName;
    for (const QFileInfo& entry : entries) {
        const QString fileName = entry.fileName();
        // Compared as plain text: a folder name holding '*', '?' or '[' must
        // not act as a wildcard.
        if (!fileName.startsWith(prefix) || !fileName.endsWith(QLatin1String(".db")))
            continue;
        found = true;
        if (entry.isDir())
            continue;
        const QString part = fileName.mid(prefix.size());
        const qsizetype dot = part.lastIndexOf(u'.');
        int number = 0;
        if (dot < 0 || part.startsWith(u'.') || !isSequenceNumber(part.left(dot), number)) {
            if (skipped)
                skipped->append(entry.filePath());
            continue;
        }
        const QString key = QString::asprintf("%08d", number);
        auto earlier = chosenName.find(key);
        if (earlier != chosenName.end() && skipped)
            skipped->append(earlier->second);
        chosenName[key] = entry.filePath();
        series[key] = fileSystemName(sourceFolder + u'/' + fileName);
    }
    return found ? 0 : -1;
}

int readMergeColumns(const std::string& path, std::string& firstColumn, std::string& columnList,
                     std::vector<std::string>* columnNames)
{
    firstColumn.clear();
    columnList.clear();
    if (columnNames)
        columnNames->clear();
    CppSQLite3DBA db;
    try {
        db.open(path);
        CppSQLite3QueryA q = db.query("select * from DataGrpData limit 0,1");
        const int columns = q.columnCount();
        if (columns < 2)
            return -1;
        for (int i = 1; i < columns; ++i) {
            const char* name = q.columnName(i);
            if (i > 1)
                columnList += ',';
            columnList += name ? name : "";
            if (columnNames)
                columnNames->push_back(name ? name : "");
        }
        firstColumn = q.columnName(0);
        return 0;
    } catch (const CppSQLite3ExceptionA& e) {
        firstColumn.clear();
        columnList = describe(e, db);
        if (columnNames)
            columnNames->clear();
        return -1;
    }
}

int readDataGroupSchema(const std::string& path, std::string& createText)
{
    CppSQLite3DBA db;
    try {
        db.open(path);
        CppSQLite3QueryA q =
            db.query("select sql from sqlite_master where type='table' and name='DataGrpData'");
        createText = q.atEnd() ? "" : q.textOr(0, "");
        return 0;
    } catch (const CppSQLite3ExceptionA& e) {
        createText = describe(e, db);
        return -1;
    }
}

std::string rewriteFirstColumn(const std::string& schema, const std::string& firstColumn)
{
    if (firstColumn.empty())
        return schema;
    // Look only inside the column definitions: a name such as "Data" also
    // occurs in "DataGrpData", and rewriting there would break the table.
    const std::size_t open = schema.find('(');
    const std::size_t from = open == std::string::npos ? 0 : open + 1;
    // A quoted name appears in the text with its inner quotes doubled.
    std::size_t at = std::string::npos;
    std::string found;
    for (const std::string& form : {firstColumn, doubled(firstColumn, '"'), doubled(firstColumn, '\''),
                                    doubled(firstColumn, '`')}) {
        at = schema.find(form, from);
        if (at != std::string::npos) {
            found = form;
            break;
        }
    }
    if (at == std::string::npos)
        return schema;
    std::size_t end = at + found.size();
    std::string replacement = found;
    if (end < schema.size() && isClosingQuote(schema[end])) {
        replacement += schema[end];
        ++end;
    }
    replacement += " INTEGER PRIMARY KEY";
    const std::size_t comma = definitionEnd(schema, end);
    if (comma == std::string::npos)
        return schema;
    return schema.substr(0, at) + replacement + schema.substr(comma);
}

std::string createMergeFile(const std::string& outputPath, const std::string& createText)
{
    CppSQLite3DBA db;
    try {
        db.open(outputPath);
        db.execUpdate(createText);
        db.close();
        return std::string();
    } catch (const CppSQLite3ExceptionA& e) {
        return describe(e, db);
    }
}

std::string mergeDataGroups(const std::string& outputPath, const SeriesFiles& files,
                            const std::vector<std::string>& columnNames, const MergeProgress& progress,
                            std::string* failedFile, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    std::string columns;
    for (const std::string& name : columnNames) {
        if (!columns.empty())
            columns += ',';
        columns += quoteIdentifierA(name);
    }
    const std::string table = quoteIdentifierA(kDataGroupTable);

    CppSQLite3DBA db;
    std::string current = outputPath;
    try {
        db.open(outputPath);
        const int total = int(files.size());
        int i = 0;
        for (const auto& entry : files) {
            ++i;
            current = entry.second;
            const std::string alias = "dba" + std::to_string(i);
            // The path is bound, so quotes in folder or file names are data.
            CppSQLite3StatementA attach = db.prepare("attach ? as " + alias);
            attach.bindText(1, entry.second);
            attach.execute();
            attach.release();

            db.execUpdate("begin");
            const bool hasDataGroup = db.queryInt("select count(*) from " + alias
                                                  + ".sqlite_master where type='table' and name="
                                                  + quoteLiteralA(kDataGroupTable)) > 0;
            // One INSERT … SELECT per file keeps the copying inside SQLite,
            // at the speed of the sqlite3 shell; row-by-row copying through
            // a prepared INSERT runs at about half of it.
            if (hasDataGroup)
                db.execUpdate("insert into " + table + "(" + columns + ") select " + columns + " from " + alias +
                              "." + table);
            db.execUpdate("commit");
            // SQLite attaches at most ten files to a connection; detaching
            // each one after its copy lets a series of any length through.
            db.execUpdate("detach " + alias);

            if (progress && !progress(i, total)) {
                if (cancelled)
                    *cancelled = true;
                return "cancelled";
            }
        }
        db.close();
        return std::string();
    } catch (const CppSQLite3ExceptionA& e) {
        if (failedFile)
            *failedFile = current;
        // Closing rolls back the transaction of the file that failed.
        return describe(e, db);
    }
}

QString sourceFolderOf(const QString& chosenFile)
{
    const qsizetype slash = chosenFile.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : chosenFile.left(slash);
}

bool isRootFolder(const QString& folder)
{
    const qsizetype colon = folder.indexOf(u':');
    if (colon > 0 && colon == folder.size() - 1)
        return true;
    return !folder.isEmpty() && folder.count(u'/') == folder.size();
}

QString freeMergeOutputPath(const QString& outputFolder, const QString& seriesName)
{
    const QString folder = outputFolder.endsWith(u'/') ? outputFolder.chopped(1) : outputFolder;
    const auto taken = [](const QString& path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    QString path = QStringLiteral("%1/%2Merge.db").arg(folder, seriesName);
    for (int n = 1; taken(path); ++n)
        path = QStringLiteral("%1/%2Merge%3.db").arg(folder, seriesName).arg(n);
    return path;
}

MergeOutcome runMerge(const MergePaths& paths, const MergeProgress& progress)
{
    MergeOutcome outcome;
    outcome.outputPath = paths.outputPath;
    const auto fail = [&outcome](const std::string& text, const QString& path) {
        outcome.text = QString::fromStdString(text);
        outcome.failedPath = path;
        return outcome;
    };

    const QString sourceFolder = withoutTrailingSeparators(paths.sourceFolder);
    if (sourceFolder.isEmpty()) {
        outcome.messageKey = MergeDlgKey::NoSourceFile;
        return outcome;
    }
    if (isRootFolder(sourceFolder)) {
        outcome.messageKey = MergeDlgKey::SourceIsRoot;
        return outcome;
    }
    if (paths.outputFolder.isEmpty()) {
        outcome.messageKey = MergeDlgKey::NoOutputFolder;
        return outcome;
    }
    // Opening a missing file would create it, and the merge never writes
    // outside its output.
    if (!QFileInfo(paths.chosenFile).isFile()) {
        outcome.messageKey = MergeDlgKey::NoSourceFile;
        return outcome;
    }

    SeriesFiles series;
    QStringList skipped;
    if (collectSeriesFiles(sourceFolder, series, &skipped) != 0 || series.empty()) {
        outcome.messageKey = MergeDlgKey::NoSeriesFiles;
        return outcome;
    }

    const std::string chosen = fileSystemName(paths.chosenFile);
    std::string firstColumn;
    std::string columnList;
    std::vector<std::string> columnNames;
    if (readMergeColumns(chosen, firstColumn, columnList, &columnNames) != 0)
        return fail(columnList.empty() ? std::string(kTooFewColumns) : columnList, paths.chosenFile);
    std::string seriesSchema;
    if (readDataGroupSchema(chosen, seriesSchema) != 0)
        return fail(seriesSchema, paths.chosenFile);

    // Files of another shape, or that cannot be read, are left out. Testing
    // them before the output exists means a series of which nothing fits
    // leaves no empty file behind and is not reported as merged.
    SeriesFiles members;
    for (const auto& [key, path] : series) {
        std::string schema;
        if (readDataGroupSchema(path, schema) == 0 && schema == seriesSchema) {
            members.emplace(key, path);
        } else {
            vlog::debugOutput(QStringLiteral("merge: skipped %1: %2")
                                  .arg(fromFileSystemName(path), QString::fromStdString(schema)));
            skipped.append(fromFileSystemName(path));
        }
    }
    skipped.sort();
    outcome.skippedFiles = skipped;
    if (members.empty()) {
        outcome.messageKey = MergeDlgKey::NoSeriesFiles;
        return outcome;
    }

    const QString outputPath = freeMergeOutputPath(paths.outputFolder, lastComponent(sourceFolder));
    const std::string output = fileSystemName(outputPath);
    const std::string schema = rewriteFirstColumn(seriesSchema, firstColumn);
    const auto removeOutput = [&outputPath] { QFile::remove(outputPath); };

    std::string error = createMergeFile(output, schema);
    if (!error.empty()) {
        removeOutput();
        return fail(error, outputPath);
    }
    std::string failedFile;
    error = mergeDataGroups(output, members, columnNames, progress, &failedFile, &outcome.cancelled);
    if (!error.empty()) {
        removeOutput();
        if (outcome.cancelled)
            return outcome;
        return fail(error, fromFileSystemName(failedFile));
    }

    outcome.messageKey = MergeDlgKey::Done;
    outcome.mergedFiles = int(members.size());
    outcome.outputPath = outputPath;
    return outcome;
}
