#include "cli/command.h"
#include "common/base_dir.h"
#include "templates/template_library.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray RelativeToBase(const QStringList& paths) {
    const QDir base(BaseDir());
    QJsonArray out;
    for (const QString& path : paths)
        out.append(base.relativeFilePath(path));
    return out;
}

int RunLibrary(const QStringList& args) {
    if (!args.isEmpty())
        return BadInput("library", QStringLiteral("takes no arguments"));
    TemplateLibrary library;
    library.Load();

    const SetIndex& index = library.setIndex();
    QJsonArray sets;
    for (int i = 0; i < index.size(); ++i) {
        QJsonObject set;
        set["path"] = index.paths[i];
        set["slots"] = index.slotCounts[i];
        set["width"] = index.widths[i];
        set["height"] = index.heights[i];
        set["proportion"] = index.proportions[i];
        sets.append(set);
    }

    const OpenTemplateSet& open = library.openSet();
    QJsonValue openSet = QJsonValue::Null;
    if (!open.folder.isEmpty()) {
        QJsonObject o;
        o["folder"] = QDir(BaseDir()).relativeFilePath(open.folder);
        o["key"] = open.key;
        o["pages"] = RelativeToBase(open.pages);
        o["labels"] = QJsonArray::fromStringList(open.Labels());
        openSet = o;
    }

    QJsonObject out;
    out["set_folders"] = RelativeToBase(library.setFolders());
    out["group_folders"] = RelativeToBase(library.groupFolders());
    out["templates"] = RelativeToBase(library.templates());
    out["sets"] = RelativeToBase(library.sets());
    out["set_index"] = sets;
    out["open_set"] = openSet;
    out["unsafe_lines_skipped"] = library.unsafeLinesSkipped();
    PrintOut(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)).trimmed());
    return 0;
}

const CliCommandRegistrar registrar({
    "library",
    "",
    "Prints the template library index as JSON: set folders, group folders, templates, sets, "
    "the set index of list2.txt and the set opened at start (paths relative to the base folder)",
    RunLibrary,
});

} // namespace
