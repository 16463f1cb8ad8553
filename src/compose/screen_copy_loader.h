#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <functional>
#include <map>

// Makes screen copies of slot photos off the thread that asks for them and
// hands each back on that thread through its event loop. The copies made are
// kept, bounded in bytes, for every canvas of the process: a photo shown
// again, or a state taken back, finds its copy at once.
class ScreenCopyLoader : public QObject {
    Q_OBJECT
public:
    using Ready = std::function<void(quint64 fingerprint, const QImage& copy)>;
    explicit ScreenCopyLoader(Ready ready);
    // Waits for the copy being made; the ones not yet started are dropped.
    ~ScreenCopyLoader() override;

    // A kept copy of the photo of at least the size; null when none is kept.
    static QImage Find(quint64 fingerprint, QSize size);
    // Makes a copy of the size unless one of it is already on its way.
    void Request(quint64 fingerprint, const QByteArray& bytes, QSize size);
    // Waits for every copy asked for and hands them over before returning.
    void Finish();
    static void ClearKept();

private:
    Ready ready_;
    QThreadPool pool_;
    std::map<quint64, QSize> pending_; // the largest size on its way, per photo
};
