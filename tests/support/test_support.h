#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

class QProcess;

// Before the application object: a private runtime folder for Qt when the
// machine has no desktop session, so test output carries only the tests'
// own lines.
void UseRuntimeFolder(const QTemporaryDir& runtime);
// After it: every profile value and the thumbnail cache of the run in a
// throw-away folder (for this process and the programs it starts), and the
// process set up as both programs set themselves up.
void UseThrowAwayProfile(const QTemporaryDir& profile);

// A fresh folder for one test, removed afterwards; also made the base folder.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& relative) const { return dir_.path() + "/" + relative; }

private:
    QTemporaryDir dir_;
    QString oldBase_;
};

// Copies the folder tree from into to (made when missing); false when any
// folder or file could not be made.
bool CopyTree(const QString& from, const QString& to);

// An image whose four quadrants have distinct colours (red, green, blue,
// yellow from the top-left, clockwise), so crops and mirrors can be probed.
QImage QuadrantImage(int w, int h);
QByteArray EncodeImage(const QImage& image, const char* format, int quality = 95);
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);
// A JPEG carrying an EXIF orientation tag (1 to 8).
QByteArray JpegWithOrientation(const QImage& image, int orientation);
// The same with the JPEG thumbnail a camera embeds (stored as the photo is,
// before the orientation turns it); none when empty.
QByteArray JpegWithExif(const QImage& image, int orientation, const QByteArray& thumbnail = {});
// A real portrait with one face (512 x 600), from a Debian package that
// scripts/setup installs.
inline const char* const kFacePhoto = "/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg";
// True when two colours differ by at most tolerance in each channel.
bool Near(QRgb a, QRgb b, int tolerance = 12);

// Sends sig to process while it runs and only then: an ended process has
// the id 0, and a signal to 0 goes to this whole process group, the test
// runner included. False when nothing was sent.
bool SignalRunningProcess(const QProcess& process, int sig);

// Limits the size of files this process may write while it lives, so a write
// fails part-way as on a full disk (even for root).
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(long long bytes);
    ~ScopedFileSizeLimit();
    bool active() const { return active_; }

private:
    long long oldLimit_ = 0;
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};
