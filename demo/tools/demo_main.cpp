// Draws the demo template library and the sample photos, and packs the
// pages with the studio's template packer (the one behind taoban-cli
// pack-template), so that a fresh studio folder has real templates to work
// with:
//   taoban-demo-art --descriptions DIR --out DIR
// DIR of descriptions holds <category>/<group>/<set>/<page>.json; the
// generated sets (variations.h) join them. The output folder receives 模板
// (packages, list.txt, list2.txt), 样片 (sample photos) and art (each page's
// drawn images beside its description).

#include "library_index.h"
#include "page_art.h"
#include "page_description.h"
#include "sample_photos.h"
#include "templates/template_packer.h"
#include "variations.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QMutex>
#include <QSaveFile>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

const QStringList kCategoryOrder{"婚纱", "儿童", "写真", "全家福"};

struct PageJob {
    QString description; // path of the JSON file; empty for a generated page
    PackedPage packed;
    PageDescription page;
    ArtResolution resolution = kPrintArt;
};

void Fail(const QString& message) {
    std::fprintf(stderr, "taoban-demo-art: %s\n", message.toUtf8().constData());
}

bool ParseArgs(const QStringList& args, QString& descriptions, QString& out) {
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--descriptions")
            descriptions = args[i + 1];
        else if (args[i] == "--out")
            out = args[i + 1];
        else
            return false;
    }
    if (descriptions.isEmpty() || out.isEmpty())
        return false;
    descriptions = QDir(descriptions).absolutePath();
    out = QDir(out).absolutePath();
    return true;
}

// Finds <category>/<group>/<set>/<page>.json below root, in library order:
// the four categories in their usual order, then groups, sets and pages.
bool CollectPages(const QString& root, QList<PageJob>& jobs) {
    QDirIterator it(root, {"*.json"}, QDir::Files, QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QStringList parts = base.relativeFilePath(path).split('/');
        bool numbered = false;
        const int number = QFileInfo(parts.last()).completeBaseName().toInt(&numbered);
        if (parts.size() != 4 || !numbered || number < 1 || number > 100) {
            Fail("a description belongs at <category>/<group>/<set>/<1..100>.json: " + path);
            return false;
        }
        PageJob job;
        job.description = path;
        job.packed.setFolder = QStringList(parts.mid(0, 3)).join('/');
        job.packed.number = number;
        QString error;
        if (!ReadPageDescription(path, job.page, error)) {
            Fail(path + ": " + error);
            return false;
        }
        job.packed.widthCm = job.page.widthCm;
        job.packed.heightCm = job.page.heightCm;
        job.packed.slotCount = job.page.slotList.size();
        jobs.append(job);
    }
    for (const GeneratedPage& generated : GeneratedPages()) {
        PageJob job;
        job.packed.setFolder = generated.setFolder;
        job.packed.number = generated.number;
        job.page = generated.page;
        job.packed.widthCm = job.page.widthCm;
        job.packed.heightCm = job.page.heightCm;
        job.packed.slotCount = job.page.slotList.size();
        job.resolution = kDraftArt;
        jobs.append(job);
    }
    auto rank = [](const PageJob& j) {
        const qsizetype r = kCategoryOrder.indexOf(j.packed.setFolder.section('/', 0, 0));
        return r < 0 ? kCategoryOrder.size() : r;
    };
    std::sort(jobs.begin(), jobs.end(), [&](const PageJob& a, const PageJob& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        if (a.packed.setFolder != b.packed.setFolder)
            return a.packed.setFolder < b.packed.setFolder;
        return a.packed.number < b.packed.number;
    });
    if (jobs.isEmpty()) {
        Fail("no page descriptions in " + root);
        return false;
    }
    return true;
}

// Every set starts at page 1 (the page the library lists it by) and all
// its pages share one size.
bool CheckSets(const QList<PageJob>& jobs) {
    for (const PageJob& job : jobs) {
        const auto first = std::find_if(jobs.begin(), jobs.end(), [&](const PageJob& j) {
            return j.packed.setFolder == job.packed.setFolder && j.packed.number == 1;
        });
        if (first == jobs.end()) {
            Fail("set " + job.packed.setFolder + " has no page 1");
            return false;
        }
        if (first->page.widthCm != job.page.widthCm || first->page.heightCm != job.page.heightCm) {
            Fail(job.description + ": the pages of a set share one page size");
            return false;
        }
    }
    return true;
}

bool FreshFolder(const QString& path) {
    QDir dir(path);
    if (dir.exists() && !dir.removeRecursively())
        return false;
    return QDir().mkpath(path);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Replaces folder with its freshly made twin, so a failed run never leaves a
// half-made library where a finished one was.
bool Replace(const QString& staged, const QString& folder) {
    QDir old(folder);
    if (old.exists() && !old.removeRecursively())
        return false;
    return QDir().rename(staged, folder);
}

} // namespace

int main(int argc, char** argv) {
    // Nothing is drawn to a screen and no text is drawn at all.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString descriptions, out;
    if (!ParseArgs(QCoreApplication::arguments(), descriptions, out)) {
        Fail("usage: taoban-demo-art --descriptions DIR --out DIR");
        return 2;
    }
    QList<PageJob> jobs;
    if (!CollectPages(descriptions, jobs) || !CheckSets(jobs))
        return 1;

    const QString art = out + "/art";
    const QString library = out + "/模板.new";
    const QString photos = out + "/样片.new";
    for (const QString& folder : {art, library, photos}) {
        if (!FreshFolder(folder)) {
            Fail("cannot prepare " + folder);
            return 1;
        }
    }

    std::atomic<bool> failed{false};
    QMutex messages;
    auto report = [&](const QString& message) {
        QMutexLocker lock(&messages);
        Fail(message);
        failed = true;
    };
    QThreadPool pool;
    pool.setMaxThreadCount(std::min(2, QThread::idealThreadCount()));
    for (const SamplePhoto& photo : SamplePhotos()) {
        pool.start([&, photo] {
            const QByteArray jpeg = EncodeSamplePhoto(photo);
            if (jpeg.isEmpty() || !WriteFile(photos + "/" + photo.fileName, jpeg))
                report("cannot write the sample photo " + photo.fileName);
        });
    }
    for (int i = 0; i < jobs.size(); ++i) {
        pool.start([&, i] {
            const PageJob& job = jobs[i];
            const QString folder =
                art + "/" + job.packed.setFolder + "/" + QString::number(job.packed.number);
            const QString json = folder + "/page.json";
            QString error;
            const auto describe = [&] {
                return job.description.isEmpty() ? WritePageDescription(job.page, json, error)
                                                 : QFile::copy(job.description, json);
            };
            if (!QDir().mkpath(folder) || !describe() ||
                !DrawPageArt(job.page, folder, i, job.resolution, error))
                report(folder + ": " + (error.isEmpty() ? "cannot prepare " + folder : error));
        });
    }
    pool.waitForDone();
    if (failed)
        return 1;

    QList<PackedPage> packed;
    for (int i = 0; i < jobs.size(); ++i) {
        packed.append(jobs[i].packed);
        pool.start([&, i] {
            const PackedPage& page = jobs[i].packed;
            const QString json =
                art + "/" + page.setFolder + "/" + QString::number(page.number) + "/page.json";
            const QString temp =
                library + "/" + page.setFolder + "/" + QString::number(page.number) + ".temp";
            QString error;
            if (!PackTemplateFile(json, temp, error))
                report(json + ": " + error);
        });
    }
    pool.waitForDone();
    if (failed)
        return 1;
    QString error;
    if (!WriteLibraryIndex(library, packed, error)) {
        Fail(error);
        return 1;
    }
    if (!Replace(library, out + "/模板") || !Replace(photos, out + "/样片")) {
        Fail("cannot move the finished library into " + out);
        return 1;
    }
    return 0;
}
