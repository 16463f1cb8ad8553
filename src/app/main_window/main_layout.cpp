#include "app/main_window/main_layout.h"

#include "app/main_window/control_ids.h"

MainLayout ComputeMainLayout(QSize client, int checkBoxWidth) {
    using namespace ControlId;
    const int w = client.width();
    const int h = client.height();
    const int f = (h - 80) / 2;
    MainLayout layout;
    auto put = [&layout](int id, int x, int y, int width, int height) {
        layout.controls[id] = QRect(x, y, width, height);
    };

    put(TemplateList, 0, 40, 300, f);
    put(TemplateTree, 0, 40, 300, f);
    put(ShowTree, 235, 15, 65, 22);
    put(TemplateManager, 170, 15, 65, 22);
    put(TemplateTitle, 2, 22, 168, 15);
    put(HideTree, 235, f + 45, 65, 22);

    put(PhotoList, 0, f + 80, 300, f);
    put(ClearPhotos, 235, f + 55, 65, 22);
    put(RemovePhoto, 170, f + 55, 65, 22);
    put(ImportPhotos, 105, f + 55, 65, 22);
    // In the title's place, shown instead of it for a customer whose review
    // shares photos.
    put(ImportChosen, 2, f + 55, 103, 22);
    put(PhotoTitle, 2, f + 62, 103, 15);

    put(FinishedList, w - 300, f + 80, 300, h - f - 80);
    put(Output, w - 60, f + 55, 60, 22);
    put(DeletePage, w - 120, f + 55, 60, 22);
    put(SavePage, w - 180, f + 55, 60, 22);
    put(Preview, w - 240, f + 55, 60, 22);
    put(FinishedTitle, w - 298, f + 62, 58, 15);

    put(OrderList, w - 300, 40, 300, f - 60);
    put(Tasks, w - 65, 15, 65, 22);
    put(Dpi, w - 65, f - 15, 65, 22);
    put(HiddenLabel, w - 300, f - 15, 235, 22);

    // The canvas keeps the composition area's 4:3 at the width between the
    // side areas; the window gives it the inside of a one-pixel white frame.
    int left = 310, top = 40, right = w - 310;
    int bottom = 40 + (w - 620) * 3 / 4;
    ++left;
    ++top;
    --right;
    --bottom;

    const int centre = (left + right) / 2;
    put(CanvasTitle, centre - 20, 22, 60, 15);
    put(SizeLabel, centre + 40, 22, right - 5 - (centre + 40), 15);

    // The row below the canvas holds the toolbar (26 pixels from 5 below the
    // canvas); when it does not fit, the canvas gives up the difference.
    if (bottom + 31 > h) {
        layout.overflow = bottom + 31 - h;
        bottom -= layout.overflow;
    }
    layout.canvas = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));

    const int rowTop = bottom + 5;
    put(SmartSelect, right - 65, rowTop, 65, 22);
    put(RandomPhotos, right - 130, rowTop, 65, 22);
    put(OpenDrawnSet, right - 195, rowTop, 65, 22);
    put(RandomTemplate, right - 260, rowTop, 65, 22);
    put(LockPortrait, left + 370, rowTop, checkBoxWidth, 22);
    return layout;
}
