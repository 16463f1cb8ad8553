#include "app/orders/review_serving.h"

#include "records/workspace_paths.h"
#include "review/review_directory.h"
#include "review/review_link.h"
#include "review/review_server.h"

ReviewServing::ReviewServing() = default;

ReviewServing::~ReviewServing() = default;

QString ReviewServing::Refresh() {
    if (!WindowServesReviews())
        return QStringLiteral("本机不提供审阅服务 (设置 review/serve=0)");
    if (ReviewDirectory(TaskStoreFolder()).OpenReviewFolders().isEmpty()) {
        server_.reset();
        return {};
    }
    if (server_ && server_->running())
        return {};
    ReviewServerOptions options;
    options.port = ReviewPort();
    server_ = std::make_unique<ReviewServer>(TaskStoreFolder(), options);
    QString error;
    if (server_->Start(error))
        return {};
    server_.reset();
    return QStringLiteral("审阅服务未能启动: 端口 %1 已被占用?").arg(options.port);
}

bool ReviewServing::running() const {
    return server_ && server_->running();
}

int ReviewServing::port() const {
    return running() ? server_->port() : ReviewPort();
}
