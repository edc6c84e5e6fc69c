#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/reports/report_list.h"

namespace kestrova::gui {

// The report list's rows as the grid shows them: case number, date entered,
// title or violations, record number and sort key. Rows are shaded white
// and light grey in turn once there is more than one.
class ReportListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ReportListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void SetRows(std::vector<reports::ListRow> rows, const QString& rightHeading);
  const std::vector<reports::ListRow>& rows() const { return rows_; }
  // One row brought up to date where it stands.
  void UpdateRow(int row, const reports::ListRow& updated);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<reports::ListRow> rows_;
  QString rightHeading_ = QStringLiteral("Title or Descriptive Remarks");
};

}  // namespace kestrova::gui
