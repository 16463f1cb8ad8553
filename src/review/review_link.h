#pragma once

#include <QString>

// The secret of a review's link: 128 random bits as 32 lowercase hex digits,
// from the system's random source.
QString NewReviewToken();
// Whether text has the form of a token (so nothing else is ever looked up).
bool IsReviewToken(const QString& text);

// The port the review server listens on unless told otherwise: the profile
// value "review"/"port", else 8633 (0: any free port, which the window's
// link then names).
constexpr int kDefaultReviewPort = 8633;
int ReviewPort();
// Whether the desktop program runs the review server while a review is
// open: the profile value "review"/"serve" other than "0".
bool WindowServesReviews();

// Where a phone on the studio's network reaches this machine: the profile
// value "review"/"host" when set (a name, or a reverse proxy's address),
// else the first IPv4 address of an interface that is up and not loopback,
// else 127.0.0.1.
QString ReviewHost();

// "http://HOST:PORT/r/TOKEN/"; host may carry its own port ("studio:9000")
// or be a whole address ("https://review.example.com"), which is used as
// the link's start.
QString ReviewLink(const QString& host, int port, const QString& token);
