#pragma once

#include "compose/compose_canvas.h"

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

// The benchmark's own studio: camera-sized photos, a canvas template with
// eight slots, and one customer task whose page is a 30 x 30 cm print.
struct BenchWorkload {
    QString folder;         // base folder of the workload
    QStringList photos;     // 24 MP JPEGs (smaller with --quick)
    QString canvasTemplate; // 8 slots: rotated, masked, transparent, front
    QString smallPhoto;     // for filling the canvas template's slots
    QString batchTaskPath;  // 1.tx of a task with one 4-photo page
    QSize batchPage;        // its size in pixels
};

// Something a camera could have taken: soft gradients, a few shapes and
// sensor noise, so that the JPEG is as large and as slow to decode as a
// real one.
QImage CameraPhoto(QSize size, quint32 seed);

// Draws and writes the workload into folder. photoSize is the size of each
// camera photo.
BenchWorkload MakeBenchWorkload(const QString& folder, QSize photoSize);
// An album of pages copies of the workload's batch page (their layout
// records linked, not copied); returns its task file.
QString MakeAlbumTask(const BenchWorkload& w, int pages);
// A template library of sets x pages template files (the files are empty:
// the start-up search only lists them); returns its template folder.
QString MakeTemplateLibrary(const QString& folder, int sets, int pages);

// The workload's 8-slot canvas page, with a window that repaints the area
// each edit reports, as the canvas view does; overPaint, when given, draws
// over every repaint as the view draws its marks.
struct EditedPage {
    using OverPaint = std::function<void(QPainter&, const CComposeCanvas&)>;
    explicit EditedPage(const BenchWorkload& w, OverPaint overPaint = {});
    // The page on a canvas of the client size with every slot holding the
    // photo, drawn from screen copies (all made before it returns).
    EditedPage(const BenchWorkload& w, QSize client, const QString& photo);
    EditedPage(const EditedPage&) = delete;
    EditedPage& operator=(const EditedPage&) = delete;
    CComposeCanvas canvas;
    QImage window;

private:
    EditedPage(const BenchWorkload& w, QSize client, const QString& photo, OverPaint overPaint,
               bool screenCopies);
};
