#pragma once

#include <QDialog>
#include <QList>
#include <QSizeF>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QTableView;
class ListDataTableModel;

// The card-size dialog: size category, size preset list, orientation, width and height in
// millimetres and the card's outline. OK gives the size to the canvases; Cancel puts the outline
// back to a rectangle. It knows nothing of the design window: whoever opens it fills the preset
// lists and plugs in the window's operations below.
class Card_Wizard : public QDialog {
    Q_OBJECT
public:
    explicit Card_Wizard(QWidget *parent = nullptr);
    ~Card_Wizard() override;

    static Card_Wizard *defaultInstance();

    // Preset names of the plastic cards (category entry 0) and of the paper badges (any other).
    QStringList pvc_card_arry;
    QStringList paper_card_arry;
    // Millimetres of a preset: category text, "H" or "V", row (-1 for none).
    std::function<QSizeF(const QString &category, const QString &preset, int list_index)> Get_My_card_Size;
    // Both receive the chosen size in points; the second resizes the canvases.
    std::function<void(const QSizeF &points)> Set_Document_Size;
    std::function<void(const QSizeF &points)> SetDocumentCanvasSize;
    // Runs the general profile dialog.
    std::function<void(bool edit, const QString &side)> Open_User_Profile_Window;

    // Resets the selections (not the list), runs modally: 1 for OK, 0 for Cancel or a failure.
    int Open_Wnd();
    // The reset that Open_Wnd makes first: shape row 0, entry 0 of every combo box. Announces nothing.
    void Reset_Controls();

    void OK_Click();
    void CancelClick();
    void card_shape_CellClick();
    void User_Profile_Click();
    // Only the category box refills the list; the others are ignored.
    void comboBoxSelectionDidChange(QComboBox *sender);
    void tableViewSelectionDidChange();

    // The list's data source; any table but ColList has no rows.
    int numberOfRowsInTableView(const QTableView *table) const;
    QVariant tableView_objectValueForTableColumn_row(const QTableView *table, const QString &column, int row) const;
    void tableView_setObjectValue_forTableColumn_row(const QTableView *table, const QVariant &value,
                                                    const QString &column, int row);
    bool tableView_shouldSelectRow(const QTableView *table, int row) const;

    // Appends a row for the trimmed name; a name that trims to nothing is skipped.
    void Create_List(const QString &name);
    // Selects `row` of the list when there is such a row.
    void Mark_List_New_Selection(int row);
    // The selected row of the list, -1 for none.
    int selectedRow() const;

    // Rows of the size list: one preset name each under "Extension".
    QList<QVariantMap> ListData;

    QTableView *ColList;
    QComboBox *Category_ComboBox;
    QComboBox *Preset_ComboBox;
    QComboBox *Sides_ComboBox;
    // Qt's spin box is the stepper and its text field in one control.
    QDoubleSpinBox *width_Stepper;
    QDoubleSpinBox *height_Stepper;
    QGroupBox *matrix_card_shape;

    static const QString kListColumn; // "Extension"

public slots:
    // Escape and the close button count as Cancel.
    void reject() override;

private:
    void reloadList();

    QButtonGroup *m_shapeButtons;
    ListDataTableModel *m_listModel;
};
