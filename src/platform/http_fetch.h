#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QNetworkAccessManager;

namespace kestrova::platform {

// A fetch under way. Destroying it abandons the fetch: its answer is never
// delivered.
class PendingFetch {
 public:
  virtual ~PendingFetch() = default;
};

// Fetches a small text file over HTTP without holding up the windows.
class HttpFetch {
 public:
  // The body, or nothing when the fetch failed.
  using Done = std::function<void(std::optional<QByteArray> body)>;
  virtual ~HttpFetch() = default;
  // Starts fetching the address and returns at once; `done` runs once,
  // later, from the event loop. The pending fetch may be destroyed from
  // inside `done`.
  [[nodiscard]] virtual std::unique_ptr<PendingFetch> Start(const QString& address, Done done) = 0;
};

// QNetworkAccessManager. A fetch fails when it is not http or https, when
// it has not ended within the time-out, when the reply is not a success
// status (2xx) or when the body is larger than kMaxBody.
class QtHttpFetch : public HttpFetch {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{10000};
  static constexpr qint64 kMaxBody = 4096;

  explicit QtHttpFetch(std::chrono::milliseconds timeout = kDefaultTimeout);
  ~QtHttpFetch() override;
  std::unique_ptr<PendingFetch> Start(const QString& address, Done done) override;

 private:
  std::chrono::milliseconds timeout_;
  // Made at the first fetch: a program that never checks never starts the
  // network machinery.
  std::unique_ptr<QNetworkAccessManager> manager_;
};

// Keeps the fetches it is asked for until the test answers them, for tests.
class ScriptedHttpFetch : public HttpFetch {
 public:
  std::unique_ptr<PendingFetch> Start(const QString& address, Done done) override {
    asked.append(address);
    auto slot = std::make_shared<Done>(std::move(done));
    waiting_.push_back(slot);
    return std::make_unique<Handle>(slot);
  }
  // Answers the oldest fetch still waiting; false when none is.
  bool Answer(std::optional<QByteArray> body) {
    while (!waiting_.empty()) {
      const std::shared_ptr<Done> slot = waiting_.front();
      waiting_.erase(waiting_.begin());
      if (!*slot) continue;  // abandoned
      Done done = std::move(*slot);
      *slot = nullptr;
      done(std::move(body));
      return true;
    }
    return false;
  }
  int Waiting() const {
    int n = 0;
    for (const auto& slot : waiting_) n += *slot ? 1 : 0;
    return n;
  }
  QStringList asked;

 private:
  struct Handle : PendingFetch {
    explicit Handle(std::weak_ptr<Done> s) : slot(std::move(s)) {}
    ~Handle() override {
      if (auto s = slot.lock()) *s = nullptr;
    }
    std::weak_ptr<Done> slot;
  };
  std::vector<std::shared_ptr<Done>> waiting_;
};

}  // namespace kestrova::platform
