#include "MainWnd/CommandTextTable.h"

#include "uilib/CommandIds.h"

namespace commandtexts {
namespace {

const Entry table[] = {
    {cmd::FileOpen, "1"},     {cmd::ShowReport, "2"},    {cmd::DrawCurves, "3"},
    {cmd::CurveSettings, "4"}, {cmd::AddRecord, "5"},     {cmd::DeleteRecord, "6"},
    {cmd::FilePrint, "7"},    {cmd::PrintCurves, "8"},   {cmd::AppAbout, "9"},
    {cmd::FirstPage, "10"},   {cmd::PreviousPage, "11"}, {cmd::NextPage, "12"},
    {cmd::LastPage, "13"},    {cmd::RowsPerPage, "14"},  {cmd::MergeFiles, "15"},
};

} // namespace

const Entry* begin()
{
    return std::begin(table);
}

const Entry* end()
{
    return std::end(table);
}

int keyOf(int command)
{
    for (const Entry& entry : table) {
        if (entry.command == command)
            return QString::fromLatin1(entry.key).toInt();
    }
    return 0;
}

} // namespace commandtexts
