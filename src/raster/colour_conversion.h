#pragma once

// Colour management of every decoded picture and every written page. Pages
// are composed in sRGB: a photo whose file carries an ICC profile (cameras
// write Adobe RGB) has its pixels converted to sRGB when it is decoded, so it
// prints as it looks; a picture without a profile already is sRGB. Written
// pages name their colour space with an embedded profile.

#include <QByteArray>
#include <QColorSpace>
#include <QImage>

// The colour space an embedded ICC profile describes; invalid (meaning
// sRGB) for an empty profile or one that cannot be read or used, such as a
// CMYK or grey profile.
QColorSpace ColourSpaceOfProfile(const QByteArray& iccProfile);

// Converts the pixels of a 32-bit picture in place from space to sRGB.
// Nothing happens for an invalid space or one that is sRGB already. The
// picture keeps its format and carries no colour space of its own afterwards
// (like every other decoded picture, it is sRGB).
void ConvertToSrgb(QImage& image, const QColorSpace& space);

// Converts an sRGB picture to another colour space, in place.
void ConvertFromSrgb(QImage& image, const QColorSpace& target);

// The ICC profile a page in that colour space carries.
QByteArray IccProfileOf(const QColorSpace& space);
