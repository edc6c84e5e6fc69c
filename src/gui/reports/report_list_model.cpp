#include "gui/reports/report_list_model.h"

#include <QColor>

namespace kestrova::gui {

void ReportListModel::SetRows(std::vector<reports::ListRow> rows, const QString& rightHeading) {
  beginResetModel();
  rows_ = std::move(rows);
  rightHeading_ = rightHeading;
  endResetModel();
}

void ReportListModel::UpdateRow(int row, const reports::ListRow& updated) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<std::size_t>(row)] = updated;
  emit dataChanged(index(row, 0), index(row, 4));
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const reports::ListRow& row = rows_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case 0: return QString::fromStdString(row.caseNumber);
      case 1: return QString::fromStdString(row.dateEntered);
      case 2: return QString::fromStdString(row.rightColumn);
      case 3: return QString::number(row.recordNumber);
      case 4: return QString::fromStdString(row.sortKey);
      default: return {};
    }
  }
  if (role == Qt::TextAlignmentRole && index.column() == 1) return int(Qt::AlignCenter);
  if (role == Qt::BackgroundRole && rows_.size() > 1 && index.column() <= 2) {
    // Row 1 white, row 2 light grey, and so on.
    return index.row() % 2 == 0 ? QColor(255, 255, 255) : QColor(240, 240, 240);
  }
  return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    switch (section) {
      case 0: return QStringLiteral("Case Number");
      case 1: return QStringLiteral("Date Entered");
      case 2: return rightHeading_;
      case 3: return QStringLiteral("Rec#");
      case 4: return QStringLiteral("DateSort");
      default: return {};
    }
  }
  if (role == Qt::TextAlignmentRole) {
    return int((section == 1 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  }
  return {};
}

}  // namespace kestrova::gui
