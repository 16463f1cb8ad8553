#pragma once

#include <QString>

// A customer in the base folder's task store whose order has one of each
// problem the order check finds, at 254 dpi on a 1000 x 750 canvas:
//   product A (6 x 4 cm, 600 x 400 pixels, 2 pages): page "A" has a
//     100 x 100 photo in slot 1 printing at about 141 ppi; page "A-2" has
//     no layout record;
//   product B (4 x 4 cm, 3 pages): "B" is rendered at the wrong size, "B-2"
//     is not rendered, "B-3" was rendered before its last change;
//   product C (2 x 2 cm, 1 page) has no page.
// Fix() repairs all of it, so the order then checks clean.
class ProblemOrder {
public:
    static constexpr const char* kCustomer = "检查客人";
    static constexpr double kSoftPpi = 100.0 / 180.0 * 254.0;

    ProblemOrder();
    void Fix();
    QString folder() const { return folder_; }

private:
    void Page(const QString& name, int w, int h, int photoSide, bool withRecord);
    void Render(const QString& name, int w, int h);

    QString folder_;
};
