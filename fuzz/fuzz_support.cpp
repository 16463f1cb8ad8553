#include "fuzz_support.h"

#include "common/base_dir.h"
#include "common/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

const char* const kPartSeparator = "\n-----\n";

namespace {
QTemporaryDir* g_scratch = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    }
    static QGuiApplication app(*argc, *argv);
    g_scratch = new QTemporaryDir;
    if (!g_scratch->isValid()) {
        std::fprintf(stderr, "fuzz: no scratch folder\n");
        std::abort();
    }
    SetBaseDir(g_scratch->path());
    Profile::UseFolder(g_scratch->path() + QStringLiteral("/profile"));
    QImageReader::setAllocationLimit(kFuzzDecodeLimitMb);
    // Qt's own warnings about damaged images would drown libFuzzer's output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

QByteArray InputBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QList<QByteArray> SplitInput(const QByteArray& input, int count) {
    QList<QByteArray> parts;
    const QByteArray separator(kPartSeparator);
    qsizetype from = 0;
    while (parts.size() < count - 1) {
        const qsizetype at = input.indexOf(separator, from);
        if (at < 0)
            break;
        parts.append(input.mid(from, at - from));
        from = at + separator.size();
    }
    parts.append(from <= input.size() ? input.mid(from) : QByteArray());
    while (parts.size() < count)
        parts.append(QByteArray());
    return parts;
}

QString ScratchPath(const QString& relative) {
    return g_scratch->path() + QLatin1Char('/') + relative;
}

QString WriteScratch(const QString& relative, const QByteArray& bytes) {
    const QString path = ScratchPath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void ClearScratch(const QString& relative) {
    QDir(ScratchPath(relative)).removeRecursively();
}

void FuzzExpect(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "fuzz: expected %s\n", what);
    std::abort();
}
