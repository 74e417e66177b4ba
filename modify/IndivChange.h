#pragma once

// The single-cell dialog: the user names an element by row and column, sees its value,
// types a new one, and finally saves the whole matrix. This is also the save path the main
// window's unsaved-matrix warning points to.

#include <QList>
#include <functional>
#include <memory>

#include "modify/MatrixSave.h"
#include "platform/Prompts.h"
#include "platform/qt/DataDialog.h"

class NumericEntryFields;
class QLineEdit;
struct TDataStore;
namespace Ui {
class TIndividualChanges;
}

class TIndividualChanges : public DataDialog {
    Q_OBJECT
public:
    TIndividualChanges(Prompts& prompts, TDataStore& store);
    ~TIndividualChanges() override;

    int SelectedRow() const { return m_selectedRow; }
    int SelectedColumn() const { return m_selectedColumn; }

protected:
    void formShown() override { FormShow(); }
    bool focusNextPrevChild(bool next) override;

private:
    void FormShow();
    void RowNoExit();
    void ColNoExit();
    void NewDistExit();
    void CancelClick();
    void QuitAndSaveClick();
    void showSelectedElement();

    std::unique_ptr<Ui::TIndividualChanges> ui;
    Prompts& m_prompts;
    TDataStore& m_store;
    int32_t m_selectedRow = -1;
    int32_t m_selectedColumn = -1;
    bool m_rowValid = false;
    bool m_columnValid = false;
    // Set when a selector's exit shows the new-value field.
    bool m_newDistAppeared = false;
    MatrixSave m_matrixSave;
    // The key filter of every numeric field; it disables QuitAndSave.
    std::unique_ptr<NumericEntryFields> m_entryFields;
};
