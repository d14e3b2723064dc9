#pragma once
#include <QString>
#include <QStringList>
#include <map>

// What kind of records a data-record file holds, decided once at open.
enum DataFileKind {
    SampleData = 1,   // a DataGrpData table exists
    AlarmData = 2,    // AlarmTable or AlarmTextTable exists
    OperationLog = 5, // anything else
};

// One page of the shown table. `columns` are the column names in table order
// without ullTime, the key column first (alarm files: the side table's
// columns from its second on appended). `rows` maps the record key to the
// cell texts of the columns after the first; time cells are already record
// time text. Records are ordered by key; of two records with one key the
// first read stays.
struct RecordPage {
    QStringList columns;
    std::map<int, QStringList> rows;
};
