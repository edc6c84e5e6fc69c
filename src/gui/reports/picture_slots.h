#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "core/reports/command_state.h"
#include "core/reports/report_record.h"

class QLabel;
class QWidget;

namespace kestrova::gui {

class Session;
class ZelButton;

// The three picture slots of the report form's "Photo(s)" tab: each an
// image, a caption over it and its add/edit, enlarge and delete buttons.
// The slots keep the file names shown (PicturePaths) and, while a report is
// written, the names it had when writing began, so that a picture that
// failed to load or a change abandoned never wipes a stored name.
class PictureSlots : public QObject {
  Q_OBJECT

 public:
  PictureSlots(Session& session, QWidget* page);

  // Display: each slot from the record's member, or every slot empty.
  void Show(const reports::ReportRecord* report);
  // Adding: every slot empty; pictures are never taken over.
  void BeginAdding();
  // Editing: the names stored now are what a save keeps by default.
  void BeginEditing(const reports::ReportRecord& shown);
  void EndWriting();
  // The names a save stores in Picture1..Picture3.
  std::array<std::string, 3> ForSave() const;
  // An edit's save: the names of the slots the user changed; a slot left
  // alone keeps what is stored, byte for byte.
  std::array<std::optional<std::string>, 3> ChangedForSave() const;

  const std::array<QString, 3>& paths() const { return paths_; }
  // The buttons as the command table says for what the window is doing.
  void ApplyButtons(const reports::MainWindowState& state);
  void Redraw();

  QLabel* image(int slot) const { return img_[Index(slot)]; }
  QLabel* caption(int slot) const { return caption_[Index(slot)]; }
  ZelButton* addEditButton(int slot) const { return addEdit_[Index(slot)]; }
  ZelButton* largerButton(int slot) const { return larger_[Index(slot)]; }
  ZelButton* deleteButton(int slot) const { return delete_[Index(slot)]; }

 signals:
  // A picture was chosen or removed while a report is written.
  void Changed();

 private:
  static std::size_t Index(int slot) { return static_cast<std::size_t>(slot - 1); }
  void cmdAddEditPic_Click(int slot);
  void cmdDeletePic_Click(int slot);
  bool Load(int slot, const QString& path);
  void Clear(int slot);
  void ShowStored(int slot, const std::string& stored);

  Session& session_;
  std::filesystem::path dataFolder_;
  bool writing_ = false;
  std::array<QString, 3> paths_;
  std::array<QString, 3> stored_;
  std::array<bool, 3> changed_{};  // a picture chosen or removed while writing
  std::array<QLabel*, 3> img_{};
  std::array<QLabel*, 3> caption_{};
  std::array<ZelButton*, 3> addEdit_{};
  std::array<ZelButton*, 3> larger_{};
  std::array<ZelButton*, 3> delete_{};
};

}  // namespace kestrova::gui
