#pragma once

// Image files whose headers claim far more picture than a real file of their
// length could hold, or that make the decoder work far longer than a real
// file would. Every reader of pictures must refuse them quickly and without
// taking the memory they claim.

#include <QByteArray>

// A greyscale progressive JPEG of width x height pixels made of `scans`
// scans, each the first DC scan again with two bytes of data: a few
// kilobytes claiming any size, and a pass over every block per scan.
QByteArray ForgedProgressiveJpeg(int width, int height, int scans);

// A PNG of width x height pixels of one colour (every byte zero), deflated at
// the highest level: the smallest file a real encoder writes for the size.
// channels 1 (grey), 3 (RGB) or 4 (RGBA), 8 bits each; bits 1 gives a
// one-bit grey image.
QByteArray FlatPng(int width, int height, int channels, int bits = 8);
