#include "platform/http_fetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace kestrova::platform {
namespace {

// One fetch. It ends once, and deletes itself only later, so that the
// answer it hands out may destroy its handle.
class FetchJob : public QObject {
 public:
  FetchJob(QNetworkAccessManager& manager, const QUrl& url, std::chrono::milliseconds timeout, HttpFetch::Done done)
      : QObject(&manager), done_(std::move(done)) {
    if (!url.isValid() || (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https"))) {
      // Still answered from the event loop, as every fetch is.
      QTimer::singleShot(0, this, [this] { Finish(std::nullopt); });
      return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    reply_ = manager.get(request);
    // Qt reads no further ahead than this, so a huge reply is never held.
    reply_->setReadBufferSize(QtHttpFetch::kMaxBody + 1);
    connect(reply_, &QNetworkReply::readyRead, this, [this] { Read(); });
    connect(reply_, &QNetworkReply::finished, this, [this] { Finished(); });
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Finish(std::nullopt); });
    timer_.start(timeout);
  }

  void Abandon() {
    done_ = nullptr;
    Stop();
  }

 private:
  void Read() {
    body_ += reply_->readAll();
    if (body_.size() > QtHttpFetch::kMaxBody) Finish(std::nullopt);
  }

  void Finished() {
    body_ += reply_->readAll();
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply_->error() == QNetworkReply::NoError && status >= 200 && status <= 299 &&
                    body_.size() <= QtHttpFetch::kMaxBody;
    Finish(ok ? std::optional<QByteArray>(body_) : std::nullopt);
  }

  void Finish(std::optional<QByteArray> body) {
    if (!done_) return;
    HttpFetch::Done done = std::exchange(done_, nullptr);
    Stop();
    done(std::move(body));  // may abandon this job: it is stopped already
  }

  void Stop() {
    timer_.stop();
    if (reply_) {
      reply_->disconnect(this);
      if (reply_->isRunning()) reply_->abort();
      reply_->deleteLater();
      reply_ = nullptr;
    }
    deleteLater();
  }

  HttpFetch::Done done_;
  QPointer<QNetworkReply> reply_;
  QByteArray body_;
  QTimer timer_;
};

class QtPendingFetch : public PendingFetch {
 public:
  explicit QtPendingFetch(FetchJob* job) : job_(job) {}
  ~QtPendingFetch() override {
    if (job_) job_->Abandon();
  }

 private:
  QPointer<FetchJob> job_;
};

}  // namespace

QtHttpFetch::QtHttpFetch(std::chrono::milliseconds timeout) : timeout_(timeout) {}

QtHttpFetch::~QtHttpFetch() = default;

std::unique_ptr<PendingFetch> QtHttpFetch::Start(const QString& address, Done done) {
  if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
  auto* job = new FetchJob(*manager_, QUrl::fromUserInput(address.trimmed()), timeout_, std::move(done));
  return std::make_unique<QtPendingFetch>(job);
}

}  // namespace kestrova::platform
