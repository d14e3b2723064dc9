// Side-table rows of an alarm file join the records of the page they
// belong to, also when the side table holds rows for only some alarms.
#include "common/TestFiles.h"
#include "store/CDataOperator.h"
#include "store/SampleGenerator.h"

#include <gtest/gtest.h>

namespace {

TEST(AlarmSideRows, SideRowsForSomeAlarmsStayWithTheirOwnRecords)
{
    // The generator confirms every second alarm: 1250 side rows for 2500
    // alarms, so the side table's rows do not line up with the pages.
    TempFolder t;
    SampleOptions o;
    o.kind = SampleOptions::Alarms;
    o.rows = 2500;
    const QString path = t.path(QStringLiteral("alarms.db"));
    ASSERT_EQ(writeSampleFile(path, o), 0);
    // A side row whose alarm is gone, and an alarm gone whose side row stays.
    execSql(path, QStringLiteral("INSERT INTO AlarmTableSideTable VALUES(9999, '2026-01-02 00:00:00', 'ghost');"
                                 "DELETE FROM AlarmTable WHERE AlarmNo = 1501;"));

    CDataOperator store;
    store.setRowsPerPage(1000);
    int kind = 0;
    ASSERT_EQ(store.openDataFile(path, kind), 0);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        ASSERT_EQ(store.readPage(page), 0);
        // 2499 records after the delete: pages of 1000, 1000 and 499.
        const size_t expected = page == 3 ? 499u : 1000u;
        EXPECT_EQ(store.page.rows.size(), expected);
        for (const auto& [key, cells] : store.page.rows) {
            // AlarmNo counts from 1; every odd alarm has its confirmation.
            const bool confirmed = key % 2 == 1;
            ASSERT_EQ(cells.size(), confirmed ? 8 : 6) << key;
            if (confirmed) {
                EXPECT_EQ(cells[7], (key - 1) % 4 ? QStringLiteral("operator") : QStringLiteral("admin")) << key;
            }
        }
        EXPECT_EQ(store.page.rows.count(9999), 0u);
    }
    EXPECT_EQ(store.page.columns.size(), 7 + 2);
}

} // namespace
