#pragma once

#include <QImage>
#include <QSize>

// A picture of many megabytes (a decoded camera photo, a full-size page) in
// memory that the kernel may back with 2 MB pages. Fresh memory costs a
// fault for every 4 KB page on its first touch: for a 50 MB page that is
// 12,800 faults, more time than drawing the page. Small pictures, and
// systems that refuse, get an ordinary image. Null when no memory is left.
QImage NewLargeImage(QSize size, QImage::Format format);
