#include "templates/template_tree.h"

#include "common/find_files.h"
#include "templates/template_library.h"

namespace {

QString Joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The sub-folder names of folder; those whose full path is in listed only,
// unless listed is null.
QStringList SubFolders(const QString& folder, const QStringList* listed) {
    QStringList names;
    for (QString path : FindFiles(folder, QStringLiteral("*"), false).folders) {
        path.chop(1); // the trailing "/"
        if (listed && !TemplateLibrary::IsListed(path, *listed))
            continue;
        names.append(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
    }
    return names;
}

} // namespace

QStringList TreeCategories(const TemplateLibrary& library) {
    return SubFolders(library.root(), nullptr);
}

QStringList TreeGroups(const TemplateLibrary& library, const QString& categoryFolder) {
    return SubFolders(categoryFolder, &library.groupFolders());
}

QStringList TreeSets(const TemplateLibrary& library, const QString& groupFolder) {
    return SubFolders(groupFolder, &library.setFolders());
}

QString TreeItemFolder(const TemplateLibrary& library, const QStringList& names) {
    QString folder = library.root();
    for (const QString& name : names)
        folder = Joined(folder, name);
    return folder;
}
