#pragma once
// The two grids of the data editor as item models over the session's
// worksheet: the "Data" page (cells; column names and row numbers are the
// headers) and the "Descriptions" page (rows "Title:", "USL:", "Target:",
// "LSL:"). Cells are read straight from the worksheet when painted, so a sheet
// of a million rows costs nothing until it is scrolled to.
#include <QAbstractTableModel>
#include <functional>
#include <string>

namespace amx {
struct Session;
}

namespace amx::gui {

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataGridModel(Session& s, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // "&View Text Variable Levels": text cells show their level number.
    bool showLevels = true;
    // The worksheet changed shape or many cells at once.
    void Refresh();
    void CellsChanged(int left, int top, int right, int bottom);
    void NamesChanged();
    // Writes a typed cell (so the editor can record it for undo); the model
    // writes it itself when none is set.
    std::function<void(int col, int row, const std::string& text)> writeCell;

signals:
    // A cell was edited by the user (row is 1-based).
    void cellEdited(int col, int row);

private:
    Session& s_;
};

class DescGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DescGridModel(Session& s, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void Refresh();
    std::function<void(int col, int row, const std::string& text)> writeCell;

signals:
    void cellEdited(int col, int row);

private:
    Session& s_;
};

}  // namespace amx::gui
