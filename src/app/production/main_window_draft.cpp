// "生成初稿(补齐缺页)": a first draft of the selected product's album, made
// from the window with the same core as taoban-cli auto-pages.

#include "app/main_window/main_window.h"

#include "common/messages.h"
#include "production/auto_pages.h"

#include <QCoreApplication>
#include <QProgressDialog>

void CMainDlg::MakeDraftPages(ShapeFilter shape, const SlotCountFilter& slotCounts) {
    AutoPagesRequest request;
    request.save = MakeSaveRequest(true);
    if (!request.save.customerChosen || customerName_.isEmpty()) {
        messages_.Inform(QStringLiteral("请先选择客人！"));
        return;
    }
    if (!request.save.product) {
        messages_.Inform(QStringLiteral("请先选择产品！"));
        return;
    }
    const OrderLine product = *request.save.product;
    const int missing = MissingProductPages(task_, product);
    if (missing == 0) {
        messages_.Inform(QStringLiteral("%1 的页面已全部设计，无需补齐。").arg(product.name));
        return;
    }
    if (customerPhotos_.isEmpty()) {
        messages_.Inform(QStringLiteral("请先调入照片！"));
        return;
    }
    request.save.selectedPage = -1;
    request.pages = missing;
    request.photos = customerPhotos_;
    request.canvasSize = canvas_.clientSize();
    request.shape = shape;
    request.slotCounts = slotCounts;

    QProgressDialog progress(QStringLiteral("正在生成初稿 ..."), QStringLiteral("取消"), 0, missing,
                             this);
    progress.setWindowTitle(product.name);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    request.proceed = [&progress, missing](int made) {
        progress.setValue(made);
        progress.setLabelText(
            QStringLiteral("正在生成初稿 %1 / %2 ...").arg(made + 1).arg(missing));
        // The window stays alive between pages, and the cancel button is
        // seen at the next page.
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    const AutoPagesResult result = MakeAutoPages(request, library_, task_, messages_, random_);
    progress.close();

    selectedPage_ = -1;
    RefillFinishedList();
    RefreshPhotoUsage();
    messages_.Inform(QStringLiteral("已生成 %1 页初稿。").arg(result.pages.size()));
}
