#pragma once

// The import dialog of the Qt window: the widgets of an import model (app/ImportModel.h), which
// holds the rows, ticks, search, count line and choices. It changes nothing in the phone book;
// after exec() accepts, the caller enters the model's Chosen() with its Repeated().

#include "ImportModel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace orvalen {

class CImportTableModel;
class CImportFilter;

class CImportDialog final : public QDialog {
    Q_OBJECT

public:
    explicit CImportDialog(CImportModel& model, QWidget* parent = nullptr);
    ~CImportDialog() override;

    CImportModel& Model() { return m_model; }
    // Shows the model anew after its rows changed.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void TickShown(bool ticked);
    void UpdateCount();
    void ReadAgain(int index);
    void ReadNextRange();
    void ShowRange();

    CImportModel& m_model;
    CImportTableModel* m_table;
    CImportFilter* m_filter;
    QLineEdit* m_search = nullptr;
    QTableView* m_view = nullptr;
    QComboBox* m_encoding = nullptr;
    QComboBox* m_repeated = nullptr;
    QLabel* m_countLine = nullptr;
    QLabel* m_rangeLine = nullptr;
    QPushButton* m_nextRange = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace orvalen
