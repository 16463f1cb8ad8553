#include "review/scaled_copies.h"

#include "common/atomic_file.h"
#include "raster/jpeg_codec.h"
#include "raster/raster.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace {

// A camera file larger than this is not a photo the review shows.
constexpr qint64 kMaxSourceBytes = qint64(256) << 20;
// Failed sources remembered at most; beyond, the memory is cleared.
constexpr size_t kMaxFailed = 10000;

} // namespace

ScaledCopies::ScaledCopies(int threads) {
    for (int i = 0; i < std::max(1, threads); ++i)
        workers_.emplace_back([this] { Work(); });
}

ScaledCopies::~ScaledCopies() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    // Whoever still waits is told the copy is not there.
    for (const auto& job : queue_)
        job->done.set_value(false);
}

QString ScaledCopies::TargetFor(const QString& source, const QString& cacheFolder, int longSide) {
    const QFileInfo file(source);
    if (!file.isFile())
        return {};
    const QString key = QStringLiteral("%1\n%2\n%3\n%4")
                            .arg(file.absoluteFilePath())
                            .arg(file.size())
                            .arg(file.lastModified().toMSecsSinceEpoch())
                            .arg(longSide);
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return cacheFolder + QLatin1Char('/') + QString::fromLatin1(hash.toHex().left(32)) +
           QStringLiteral(".jpg");
}

ScaledCopies::Copy ScaledCopies::Get(const QString& source, const QString& cacheFolder,
                                     int longSide) {
    const QString target = TargetFor(source, cacheFolder, longSide);
    if (target.isEmpty())
        return {};
    const Copy copy{target, QFileInfo(target).completeBaseName()};
    if (QFileInfo::exists(target))
        return copy;
    return Queue(source, target, longSide, true).get() ? copy : Copy{};
}

void ScaledCopies::Prefetch(const QString& source, const QString& cacheFolder, int longSide) {
    const QString target = TargetFor(source, cacheFolder, longSide);
    if (!target.isEmpty() && !QFileInfo::exists(target))
        Queue(source, target, longSide, false);
}

int ScaledCopies::madeCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return made_;
}

std::shared_future<bool> ScaledCopies::Queue(const QString& source, const QString& target,
                                             int longSide, bool urgent) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failed_.count(target)) {
        std::promise<bool> none;
        none.set_value(false);
        return none.get_future().share();
    }
    const auto known = jobs_.find(target);
    if (known != jobs_.end()) {
        // A page the customer opens goes before the ones made in advance.
        if (urgent) {
            const auto queued = std::find(queue_.begin(), queue_.end(), known->second);
            if (queued != queue_.end()) {
                queue_.erase(queued);
                queue_.push_front(known->second);
            }
        }
        return known->second->result;
    }
    auto job = std::make_shared<Job>();
    job->source = source;
    job->target = target;
    job->longSide = longSide;
    job->result = job->done.get_future().share();
    if (stopping_) {
        job->done.set_value(false);
        return job->result;
    }
    jobs_[target] = job;
    if (urgent)
        queue_.push_front(job);
    else
        queue_.push_back(job);
    wake_.notify_one();
    return job->result;
}

void ScaledCopies::Work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            job = queue_.front();
            queue_.pop_front();
        }
        const bool ok = Make(job->source, job->target, job->longSide);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            jobs_.erase(job->target);
            if (ok) {
                ++made_;
            } else {
                if (failed_.size() >= kMaxFailed)
                    failed_.clear();
                failed_[job->target] = true;
            }
        }
        job->done.set_value(ok);
    }
}

bool ScaledCopies::Make(const QString& source, const QString& target, int longSide) {
    QByteArray bytes;
    if (!ReadWholeFile(source, bytes, kMaxSourceBytes))
        return false;
    QImage image = DecodeBitmapReduced(bytes, [longSide](QSize reduced, QSize) {
        return std::max(reduced.width(), reduced.height()) >= longSide;
    });
    bytes = QByteArray();
    if (image.isNull())
        return false;
    if (std::max(image.width(), image.height()) > longSide)
        image = image.scaled(longSide, longSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.hasAlphaChannel()) {
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter(&opaque).drawImage(0, 0, image);
        image = opaque;
    }
    JpegPageOptions options;
    options.quality = 85;
    options.halfChroma = true;
    const QByteArray jpeg = EncodeJpegPage(image, options);
    return !jpeg.isEmpty() && QDir().mkpath(QFileInfo(target).path()) &&
           WriteFileAtomic(target, jpeg);
}
