#pragma once

#include <QString>
#include <QStringList>

class TemplateLibrary;

// The folders behind the template tree. Its items carry only a folder name;
// an item's folder is the library root followed by the names on the way down
// to it. Names come in the order the file system lists the folders; files and
// hidden entries are skipped, and a folder that cannot be listed gives none.

// Depth 1, the categories: every sub-folder of the library root.
QStringList TreeCategories(const TemplateLibrary& library);
// Depth 2, the groups of a category: its sub-folders that the file list
// names as a group folder (exact comparison of the full path).
QStringList TreeGroups(const TemplateLibrary& library, const QString& categoryFolder);
// Depth 3, the sets of a group: its sub-folders that the file list names as a
// set folder (exact comparison of the full path).
QStringList TreeSets(const TemplateLibrary& library, const QString& groupFolder);

// The folder of the item reached by names from the top (category first),
// without a trailing "/"; the root itself for no names.
QString TreeItemFolder(const TemplateLibrary& library, const QStringList& names);
