#pragma once

#include "compose/compose_canvas.h"

#include <QPointer>

class QDialog;
class QWidget;

// "处理中, 请稍候 ..." while the canvas reads a template or a saved page:
// a small frameless window centred on the main window, shown and painted at
// once because the reading that follows keeps the window thread busy.
class CBusyPopup final : public IBusyIndicator {
public:
    explicit CBusyPopup(QWidget* owner);
    ~CBusyPopup() override;
    CBusyPopup(const CBusyPopup&) = delete;
    CBusyPopup& operator=(const CBusyPopup&) = delete;

    void Show() override;
    void Hide() override;
    bool IsShown() const;

    static const char* const kText;

private:
    QWidget* owner_;
    QPointer<QDialog> popup_;
};
