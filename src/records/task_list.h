#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class IMessages;

// The order book: one row per customer task file found in the task store.
// A row holds the texts its list shows and, after them, the task file the row
// stands for, which the commands act on.
enum TaskListColumn : int {
    kTaskOrderColumn = 0,  // "订单号": the customer folder's name
    kTaskPhoneColumn = 1,  // "客人": the phone kept at the start of the task file
    kTaskPagesColumn = 2,  // "设计P数": page records in the task file
    kTaskOutputColumn = 3, // "已输出": "<s>" of status.txt ("2/3"), "0" without one
    kTaskDateColumn = 4,   // "日期": last change of the task file
    kTaskReviewColumn = 5, // "审阅": the customer's review by phone ("3/10 通过")
    kTaskPathColumn = 6,   // not shown: the task file itself
};

// Titles and widths of the shown columns, in the list's column text form.
extern const char* const kTaskListColumnSpec;
// The most rows one loading shows.
constexpr int kTaskListLimit = 100;
extern const char* const kTaskListTruncatedMessage;

// The task files under store, in the disk search's order: every file whose
// name ends in ".tx" at any depth, except any path holding the preview cache's
// name. The search stops at the first file past limit; truncated then tells
// that there were more.
QStringList FindTaskFiles(const QString& store, int limit, bool* truncated = nullptr);

// One row for a task file. An unreadable task file leaves phone and page
// count empty; a missing one the date too.
QStringList TaskListRow(const QString& taskPath);

// Page records in a task file of that many bytes: a 100-byte phone block,
// then 3628 bytes a page, a short last page counting as one.
int TaskPageCountForSize(qint64 bytes);

// The rows of at most kTaskListLimit task files, newest first; tells the
// operator once when more task files were left out.
QList<QStringList> LoadTaskList(const QString& store, IMessages& messages);

// What a row stands for: the folder holding a "1.tx", or the task file
// itself when it has another name. Its last part is the row's "订单号".
QString TaskEntryPath(const QString& taskPath);

// Removes what the row of taskPath stands for, with everything in it. Never
// anything outside the store or the store itself: a task file lying in the
// store's own folder is removed alone, and a linked customer folder loses
// only its link. False when something was left behind.
bool DeleteTaskEntry(const QString& store, const QString& taskPath);
