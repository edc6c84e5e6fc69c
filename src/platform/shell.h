#pragma once

#include <QString>
#include <QStringList>

namespace kestrova::platform {

// Hands addresses and documents to the desktop's own programs.
class Shell {
 public:
  virtual ~Shell() = default;
  // A "mailto:" or "http://" address; false when the desktop could not open it.
  virtual bool OpenAddress(const QString& address) = 0;
  // A file, with the program the desktop associates with it.
  virtual bool OpenDocument(const QString& path) = 0;
};

class QtShell : public Shell {
 public:
  bool OpenAddress(const QString& address) override;
  bool OpenDocument(const QString& path) override;
};

// Records what was asked and answers as told, for tests.
class FakeShell : public Shell {
 public:
  bool OpenAddress(const QString& address) override {
    opened.append(address);
    return succeed;
  }
  bool OpenDocument(const QString& path) override {
    opened.append(path);
    return succeed;
  }
  QStringList opened;
  bool succeed = true;
};

}  // namespace kestrova::platform
