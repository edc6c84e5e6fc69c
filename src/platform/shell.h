#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

namespace kestrova::platform {

// Hands addresses and documents to the desktop's own programs, and learns
// whether that worked.
class Shell {
 public:
  struct Outcome {
    bool opened = false;
    QString detail;  // why not, in the desktop's words
  };
  // Runs once, at once or later from the event loop.
  using Done = std::function<void(const Outcome&)>;

  virtual ~Shell() = default;
  // A "mailto:" or "http://" address.
  virtual void OpenAddress(const QString& address, Done done) = 0;
  // A file, with the program the desktop associates with it.
  virtual void OpenDocument(const QString& path, Done done) = 0;
};

// Runs the desktop's opener (xdg-open) with the address or file as its one
// argument. Opened when it exits with 0; not when it cannot be started,
// crashes or exits otherwise. One still running after the time-out has
// started a program that keeps it waiting (some mail programs do): that
// counts as opened, and it is left to run.
class QtShell : public Shell {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{5000};

  explicit QtShell(QString opener = QStringLiteral("xdg-open"), std::chrono::milliseconds timeout = kDefaultTimeout);
  void OpenAddress(const QString& address, Done done) override;
  void OpenDocument(const QString& path, Done done) override;

 private:
  void Run(const QString& argument, Done done);

  QString opener_;
  std::chrono::milliseconds timeout_;
};

// Records what was asked and answers as told, at once, for tests.
class FakeShell : public Shell {
 public:
  void OpenAddress(const QString& address, Done done) override {
    opened.append(address);
    if (done) done({succeed, succeed ? QString() : QStringLiteral("xdg-open: no method available")});
  }
  void OpenDocument(const QString& path, Done done) override {
    opened.append(path);
    if (done) done({succeed, succeed ? QString() : QStringLiteral("xdg-open: no method available")});
  }
  QStringList opened;
  bool succeed = true;
};

}  // namespace kestrova::platform
