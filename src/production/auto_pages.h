#pragma once

#include "production/new_page.h"
#include "production/smart_selection.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class CustomerTask;
class IMessages;
class TemplateLibrary;

// A first draft of an album: page after page made the way the operator makes
// one with smart selection and "保存".
struct AutoPagesRequest {
    // The customer and the ordered product the pages are saved for; the
    // product must be set (its size is what the templates are matched to).
    SavePageRequest save;
    int pages = 0;
    QStringList photos; // the customer's photos, in the order shown
    QSize canvasSize;   // the canvas's client size the pages are composed on
    // The filters of "智能筛选" the templates are drawn through; the page
    // count limit of each page is added to slotCounts.
    ShapeFilter shape{true, true};
    SlotCountFilter slotCounts;
    // Asked before each page with the number made so far; false stops the
    // run there (the operator cancelled).
    std::function<bool(int made)> proceed;
};

struct AutoPage {
    QString name;         // the finished page's name
    QString templatePath; // the template page it was made from
    QStringList photos;   // the photo file name in each slot, in slot order
};

struct AutoPagesResult {
    QList<AutoPage> pages;  // the pages saved, in order
    bool complete = false;  // all requested pages were made
    bool cancelled = false; // proceed said stop
};

// The pages an ordered product still lacks: its album page count (at least
// one page) less the task's pages of the product.
int MissingProductPages(const CustomerTask& task, const OrderLine& product);

// For each page: a random page from the whole library whose index entry
// passes the request's filters (by default the product's proportion and
// size) and has no more slots than there
// are photos left in the current round (drawn again, a few times at most,
// while it is a template the album already has), its slots filled with those
// photos from a random start (each in the slot its shape fits, faces kept),
// saved as a new finished page of task. Photos go on
// pages in rounds: a photo already on one of the customer's pages, or on an
// earlier page of the run, comes again only after every photo has been used,
// and then every photo comes once more before any comes a third time. Stops
// at the first page that cannot be drawn or saved (the reason goes to
// messages).
AutoPagesResult MakeAutoPages(const AutoPagesRequest& request, TemplateLibrary& library,
                              CustomerTask& task, IMessages& messages, IRandomSource& random);
