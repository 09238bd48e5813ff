#pragma once

// The Common Details window: the job's common details and the five section buttons.
//
// It shows the customer, part number, revision and description, and the Material, Thick mm and
// Vee All lists, as the JobEditor holds them. Each action of the operator is one call on the
// editor (a text typed, a list item chosen, a section button clicked); the window redraws itself
// from the editor's job whenever the job changes, and keeps nothing of the job itself. The main
// window puts it into a subwindow of its MDI area and shows and hides the section windows as the
// editor's shown section changes.

#include "app/twips.h"
#include "ground/job.h"

#include <QIcon>
#include <QKeySequence>
#include <QWidget>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvane {

class JobEditor;
struct EditedField;

class CommonWindow : public QWidget
{
    Q_OBJECT

public:
    // The editor must outlive the window.
    explicit CommonWindow(JobEditor &editor, QWidget *parent = nullptr);

    // The keys that show section n (1 to 5) wherever the focus is, as a click of its button
    // does: Alt and the section's number. The main window owns them, since a key of a window
    // inside its MDI area works only while the focus is in that window.
    static QKeySequence sectionKey(int n);

    // Puts the caret into the box of a common field (Undo and Redo).
    void focusField(const EditedField &field);

    // The designed client area, 4230 by 3075 twips, at the screen's dots per inch.
    QSize sizeHint() const override;

Q_SIGNALS:
    // The focus left the Vee All list for another control: the shown section's first flange box
    // takes it then (SectionWindow::focusFirstFlange).
    void veeAllLeft();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void redraw();
    void showSectionButtons();

    JobEditor &m_editor;
    Twips m_twips;
    std::array<QLineEdit *, kCommonTextCount> m_txtcom{};
    QComboBox *m_cmbMaterial = nullptr;
    QComboBox *m_cmbThickness = nullptr;
    QComboBox *m_cmbVeeG = nullptr;
    // Buttons "1" to "5" at indexes 0 to 4.
    std::array<QPushButton *, kSectionCount> m_cmd{};
    // The in-use mark of a section button: 6 by 6 pixels of one green.
    QIcon m_picGreen;
};

} // namespace corvane
