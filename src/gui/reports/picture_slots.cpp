#include "gui/reports/picture_slots.h"

#include <QApplication>
#include <QImageReader>
#include <QLabel>

#include "core/reports/report_display.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {
namespace {

int Px(int twips) { return ToPixels(twips); }

QString Trimmed(const std::string& stored) { return QString::fromStdString(std::string(text::Trim(stored))); }

}  // namespace

PictureSlots::PictureSlots(Session& session, QWidget* page)
    : QObject(page), session_(session), dataFolder_(session.folder().path()) {
  for (int slot = 1; slot <= 3; ++slot) {
    const int x = 300 + (slot - 1) * 4100;
    const std::size_t i = Index(slot);
    auto* img = new QLabel(page);
    img->setObjectName(QStringLiteral("imgPic%1").arg(slot));
    img->setGeometry(Px(x), Px(100), Px(3000), Px(3000));
    img->setFrameShape(QFrame::Box);
    img->setAlignment(Qt::AlignCenter);
    img_[i] = img;
    auto* caption = new QLabel(page);
    caption->setObjectName(QStringLiteral("lblPic%1").arg(slot));
    caption->setGeometry(Px(x), Px(1300), Px(3000), Px(600));
    caption->setAlignment(Qt::AlignCenter);
    caption->setWordWrap(true);
    caption_[i] = caption;
    const auto button = [&](const char* name, const QString& text, int bx) {
      auto* b = new ZelButton(page);
      b->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(slot));
      b->setCaption(text);
      b->setGeometry(Px(bx), Px(3250), Px(950), Px(400));
      b->hide();
      return b;
    };
    addEdit_[i] = button("cmdAddEditPic", QStringLiteral("Add/Edit"), x);
    larger_[i] = button("cmdLargerPic", QStringLiteral("Enlarge"), x + 1025);
    delete_[i] = button("cmdDeletePic", QStringLiteral("Delete"), x + 2050);
    larger_[i]->setToolTip(QStringLiteral(" Enlarge/Print this picture "));
    delete_[i]->setToolTip(QStringLiteral(" Delete this picture "));
    connect(addEdit_[i], &ZelButton::Click, this, [this, slot] { cmdAddEditPic_Click(slot); });
    connect(delete_[i], &ZelButton::Click, this, [this, slot] { cmdDeletePic_Click(slot); });
  }
}

void PictureSlots::Show(const reports::ReportRecord* report) {
  writing_ = false;
  stored_ = {};
  ShowStored(1, report ? report->Picture1 : std::string());
  ShowStored(2, report ? report->Picture2 : std::string());
  ShowStored(3, report ? report->Picture3 : std::string());
}

void PictureSlots::BeginAdding() {
  writing_ = true;
  stored_ = {};
  changed_ = {};
  for (int slot = 1; slot <= 3; ++slot) {
    Clear(slot);
    caption(slot)->setText(QStringLiteral("No\npicture"));
    caption(slot)->show();
  }
}

void PictureSlots::BeginEditing(const reports::ReportRecord& shown) {
  writing_ = true;
  stored_ = {Trimmed(shown.Picture1), Trimmed(shown.Picture2), Trimmed(shown.Picture3)};
  changed_ = {};
}

void PictureSlots::EndWriting() {
  writing_ = false;
  stored_ = {};
}

std::array<std::optional<std::string>, 3> PictureSlots::ChangedForSave() const {
  const auto names = ForSave();
  std::array<std::optional<std::string>, 3> changed;
  for (std::size_t i = 0; i < 3; ++i) {
    if (changed_[i]) changed[i] = names[i];
  }
  return changed;
}

std::array<std::string, 3> PictureSlots::ForSave() const {
  std::array<std::string, 3> names;
  for (std::size_t i = 0; i < 3; ++i) names[i] = (!paths_[i].isEmpty() ? paths_[i] : stored_[i]).toStdString();
  return names;
}

void PictureSlots::ApplyButtons(const reports::MainWindowState& state) {
  for (int slot = 1; slot <= 3; ++slot) {
    const reports::PictureButtonLooks p = reports::PictureButtons(state, slot);
    larger_[Index(slot)]->setVisible(p.larger);
    addEdit_[Index(slot)]->setVisible(p.addEdit);
    addEdit_[Index(slot)]->setEnabled(p.addEditEnabled);
    addEdit_[Index(slot)]->setToolTip(QString::fromStdString(p.addEditToolTip));
    delete_[Index(slot)]->setVisible(p.remove);
    delete_[Index(slot)]->setEnabled(p.removeEnabled);
  }
  Redraw();
}

void PictureSlots::Redraw() {
  for (std::size_t i = 0; i < 3; ++i) {
    addEdit_[i]->Refresh();
    larger_[i]->Refresh();
    delete_[i]->Refresh();
  }
}

void PictureSlots::cmdAddEditPic_Click(int slot) {
  if (!writing_) return;
  auto pause = session_.PauseChangeWatch();
  const auto path = session_.filePicker().OpenPicture(addEdit_[Index(slot)]->window());
  if (!path) {
    paths_[Index(slot)].clear();
    return;
  }
  // The report keeps the picture's full path: one it cannot store exactly
  // would name another file, or none, when read back.
  const std::string bytes = text::Utf8ToWin1252(path->toStdString());
  const std::string bad = text::UnstorableCharacters(path->toStdString());
  QWidget* window = addEdit_[Index(slot)]->window();
  if (!bad.empty() || bytes.size() > reports::kPicturePathWidth) {
    ShowNotice(
        session_, window, QStringLiteral("Picture Not Taken"),
        QStringLiteral("The folder and file name of this picture\ncannot be kept in a report:\n\n") + *path +
            QStringLiteral("\n\n") +
            (!bad.empty() ? QStringLiteral("It holds characters that cannot be stored: ") + QString::fromStdString(bad)
                          : QStringLiteral("It is longer than the %1 characters a report keeps for it.")
                                .arg(reports::kPicturePathWidth)) +
            QStringLiteral("\n\nPlease copy the picture to a folder with a shorter, plain name."),
        kIconWarning);
    return;
  }
  caption(slot)->hide();
  if (!Load(slot, *path)) {
    QApplication::processEvents();
    ShowNotice(session_, window, QStringLiteral("File Access Error"),
               QStringLiteral("There is some kind of problem in\ntrying to access that picture file."), kIconError);
    return;
  }
  changed_[Index(slot)] = true;
  emit Changed();
}

void PictureSlots::cmdDeletePic_Click(int slot) {
  if (!writing_) return;
  const MessageRequest r{.caption = QStringLiteral("Confirm picture deletion"),
                         .iconKind = kIconQuestion,
                         .message = QStringLiteral("Are you SURE that you want\nto delete this picture?"),
                         .defaultButton = 2,
                         .buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete"),
                                     QStringLiteral("&No") + QStringLiteral(", don't delete")}};
  if (ShowMessage(session_, r, delete_[Index(slot)]->window()).pressedButton != 1) return;
  Clear(slot);
  stored_[Index(slot)].clear();
  changed_[Index(slot)] = true;
  emit Changed();
}

bool PictureSlots::Load(int slot, const QString& path) {
  QLabel* img = image(slot);
  const QRect box(img->x(), img->y(), Px(3000), Px(3000));
  const QImage picture = QImageReader(path).read();
  img->setToolTip(QString());
  img->setPixmap(QPixmap());
  img->setGeometry(box);
  img->show();
  if (picture.isNull()) {
    paths_[Index(slot)].clear();
    return false;
  }
  const auto [w, h] = reports::FitPicture(ToTwips(picture.width()), ToTwips(picture.height()));
  img->setGeometry(box.x(), box.y(), Px(w), Px(h));
  img->setPixmap(QPixmap::fromImage(picture).scaled(Px(w), Px(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  img->setToolTip(path);
  caption(slot)->hide();
  paths_[Index(slot)] = path;
  return true;
}

void PictureSlots::Clear(int slot) {
  QLabel* img = image(slot);
  img->setPixmap(QPixmap());
  img->setToolTip(QString());
  img->setGeometry(img->x(), img->y(), Px(3000), Px(3000));
  paths_[Index(slot)].clear();
}

void PictureSlots::ShowStored(int slot, const std::string& stored) {
  const std::string name(text::Trim(stored));
  Clear(slot);
  image(slot)->show();
  if (name.empty()) {
    caption(slot)->setText(QStringLiteral("No\npicture"));
    caption(slot)->show();
  } else {
    // A relative name is found in the data folder; the slot keeps the name
    // as stored.
    std::filesystem::path file(name);
    if (file.is_relative()) file = dataFolder_ / file;
    if (Load(slot, QString::fromStdString(file.string()))) {
      paths_[Index(slot)] = QString::fromStdString(name);
      image(slot)->setToolTip(paths_[Index(slot)]);
    } else {
      caption(slot)->setText(QStringLiteral("There was an error in generating this picture"));
      caption(slot)->show();
    }
  }
  larger_[Index(slot)]->setVisible(!caption(slot)->isVisibleTo(caption(slot)->parentWidget()));
}

}  // namespace kestrova::gui
