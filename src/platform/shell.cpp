#include "platform/shell.h"

#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <memory>

namespace kestrova::platform {

QtShell::QtShell(QString opener, std::chrono::milliseconds timeout) : opener_(std::move(opener)), timeout_(timeout) {}

void QtShell::OpenAddress(const QString& address, Done done) { Run(address, std::move(done)); }

void QtShell::OpenDocument(const QString& path, Done done) {
  if (!QFileInfo::exists(path)) {
    if (done) done({false, QStringLiteral("%1 does not exist").arg(path)});
    return;
  }
  Run(QFileInfo(path).absoluteFilePath(), std::move(done));
}

void QtShell::Run(const QString& argument, Done done) {
  // The process and its timer live until the opener ends, also after the
  // outcome was told; the outcome is told once.
  auto* process = new QProcess;
  auto* timer = new QTimer(process);
  auto told = std::make_shared<bool>(false);
  auto said = std::make_shared<QByteArray>();
  auto tell = [done = std::move(done), told](const Outcome& outcome) {
    if (*told) return;
    *told = true;
    if (done) done(outcome);
  };
  const QString opener = opener_;
  process->setProgram(opener);
  process->setArguments({argument});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  // What it says on its way out, its last few lines only: a program left
  // running may say much more.
  QObject::connect(process, &QProcess::readyReadStandardError, process, [process, said] {
    *said += process->readAllStandardError();
    if (said->size() > 2000) *said = said->right(2000);
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, tell, opener](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;  // the others end in finished()
    tell({false, QStringLiteral("%1 could not be started: %2").arg(opener, process->errorString())});
    process->deleteLater();
  });
  QObject::connect(
      process, &QProcess::finished, process, [process, tell, said, opener](int code, QProcess::ExitStatus status) {
        *said += process->readAllStandardError();
        // Its last line says why, shortened: it may quote the whole address.
        const QStringList lines = QString::fromLocal8Bit(*said).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QString words = lines.isEmpty() ? QString() : lines.last().trimmed();
        if (words.size() > 90) words = words.left(87) + QStringLiteral("...");
        if (status != QProcess::NormalExit) {
          tell({false, QStringLiteral("%1 stopped unexpectedly").arg(opener)});
        } else if (code != 0) {
          const QString ended = QStringLiteral("%1 ended with status %2").arg(opener).arg(code);
          tell({false, words.isEmpty() ? ended : words + QStringLiteral("\n(") + ended + QLatin1Char(')')});
        } else {
          tell({true, {}});
        }
        process->deleteLater();
      });
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, process, [tell] { tell({true, {}}); });
  timer->start(timeout_);
  process->start();
}

}  // namespace kestrova::platform
