#include "worksheet/WorksheetModels.h"

#include <QBrush>
#include <QColor>

#include "session/Session.h"
#include "worksheet/FileModificationHooks.h"

namespace amx::gui {
namespace {

QString Q(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<int>(v.size())); }

const QColor kTextColumn(255, 255, 160);  // yellow
const QColor kFailsProcessIf(0, 255, 255);  // aqua
const QColor kRejectedValue(96, 160, 255);  // blue
const Qt::Alignment kCellAlign = Qt::AlignRight | Qt::AlignVCenter;

}  // namespace

DataGridModel::DataGridModel(Session& s, QObject* parent) : QAbstractTableModel(parent), s_(s) {}

int DataGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : s_.worksheet.RowCount();
}

int DataGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : s_.worksheet.ColumnCount();
}

QVariant DataGridModel::data(const QModelIndex& index, int role) const {
    const int c = index.column() + 1, r = index.row() + 1;
    const Worksheet& ws = s_.worksheet;
    const bool parsed = !s_.DataDirty && s_.DataList.Parsed() && s_.DataList.ParsedRevision() == ws.Revision();
    switch (role) {
    case Qt::DisplayRole: {
        std::string_view text = ws.CellView(c, r);
        if (showLevels && parsed && c < static_cast<int>(s_.DataList.StringVar.size()) &&
            s_.DataList.StringVar[c]) {
            const double v = s_.DataList.Value(c, r);
            if (v == MissingValue) return QString();
            return Q(text) + "[" + QString::number(static_cast<long long>(v)) + "]";
        }
        return Q(text);
    }
    case Qt::EditRole:
        return Q(ws.CellView(c, r));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(kCellAlign);
    case Qt::BackgroundRole: {
        if (!ProcessIfAccepts(s_, r)) return QBrush(kFailsProcessIf);
        if (parsed && c < static_cast<int>(s_.DataList.StringVar.size())) {
            const double v = s_.DataList.Value(c, r);
            if (!ws.CellEmpty(c, r) && v != MissingValue && !s_.DataList.StringVar[c] && !MissingRuleAccepts(s_, v))
                return QBrush(kRejectedValue);
            if (s_.DataList.StringVar[c]) return QBrush(kTextColumn);
        }
        return {};
    }
    default:
        return {};
    }
}

QVariant DataGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role == Qt::DisplayRole) {
        if (o == Qt::Horizontal) return QString::fromStdString(s_.worksheet.ColumnName(section + 1));
        return QString::number(section + 1);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(o == Qt::Horizontal ? kCellAlign : Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

bool DataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int c = index.column() + 1, r = index.row() + 1;
    const QByteArray text = value.toString().toUtf8();
    if (s_.worksheet.CellView(c, r) == std::string_view(text.constData(), text.size())) return false;
    if (writeCell) writeCell(c, r, text.toStdString());
    else s_.worksheet.SetCell(c, r, std::string_view(text.constData(), text.size()));
    emit dataChanged(index, index);
    emit cellEdited(c, r);
    return true;
}

Qt::ItemFlags DataGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void DataGridModel::Refresh() {
    beginResetModel();
    endResetModel();
}

void DataGridModel::CellsChanged(int left, int top, int right, int bottom) {
    emit dataChanged(index(top - 1, left - 1), index(bottom - 1, right - 1));
}

void DataGridModel::NamesChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }

DescGridModel::DescGridModel(Session& s, QObject* parent) : QAbstractTableModel(parent), s_(s) {}

int DescGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Worksheet::DescriptionRows;
}

int DescGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : s_.worksheet.ColumnCount();
}

QVariant DescGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QString::fromStdString(s_.worksheet.Description(index.row() + 1, index.column() + 1));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(kCellAlign);
    return {};
}

QVariant DescGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role == Qt::DisplayRole) {
        if (o == Qt::Horizontal) return QString::fromStdString(s_.worksheet.ColumnName(section + 1));
        return QString::fromStdString(DescriptionHeader(section + 1));
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(o == Qt::Horizontal ? kCellAlign : Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

bool DescGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    const int c = index.column() + 1, r = index.row() + 1;
    const std::string text = value.toString().toStdString();
    if (s_.worksheet.Description(r, c) == text) return false;
    if (writeCell) writeCell(c, r, text);
    else s_.worksheet.SetDescription(r, c, text);
    emit dataChanged(index, index);
    emit cellEdited(c, r);
    return true;
}

Qt::ItemFlags DescGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void DescGridModel::Refresh() {
    beginResetModel();
    endResetModel();
}

}  // namespace amx::gui
