#pragma once

// The Section Details window of one section (1 to 5): its eleven flange outside lengths, ten bend
// angles and ten bend vees, and its View, Rotate deg, 1:1 Scale and Notes.
//
// Each action of the operator is one call on the JobEditor, which recomputes the section when it
// is the shown one; the window redraws itself from the editor's job whenever the job changes, and
// keeps nothing of the job itself. It keeps one thing of its own: the grey bend marker, which
// follows the focus to the bend being edited. The rows lie in a scroll area, so that a window
// shorter than the rows scrolls to the control that has the focus. The main window puts each of
// the five into a subwindow of its MDI area and shows the one the editor shows.

#include "app/twips.h"
#include "ground/job.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;

namespace corvane {

class JobEditor;
class VeeBox;
struct EditedField;

class SectionWindow : public QWidget
{
    Q_OBJECT

public:
    // The editor must outlive the window; number is the section, 1 to 5.
    SectionWindow(JobEditor &editor, int number, QWidget *parent = nullptr);

    int number() const { return m_number; }
    // The bend (0 to 9) that the grey marker points at.
    int markedBend() const { return m_markedBend; }

    // The reading note of the flange or angle box that has the focus ("flange 2: "1,5" is read
    // as 1"); empty when another control has it, or the box's text reads as it shows.
    QString focusedNote() const;

    // The width of the design and of a scroll bar beside it, and the height of every row, at the
    // screen's dots per inch.
    QSize sizeHint() const override;

    // Puts the caret into the box of a field of this section (Undo and Redo).
    void focusField(const EditedField &field);

public Q_SLOTS:
    // Puts the focus into flange outside length 0, which marks bend 0 and scrolls to the top.
    void focusFirstFlange();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addRow(int i);
    void focusEntered(QWidget *widget);
    void scrollTo(QWidget *widget);
    void markBend(int j);
    void paintMarker();
    void applyGeometry();
    void redraw();
    void redrawNotes();
    void notesEdited();

    JobEditor &m_editor;
    int m_number = 1;
    int m_markedBend = 0;
    // Set while the notes box is given the job's notes, which is no edit.
    bool m_showingNotes = false;
    Twips m_twips;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_rows = nullptr;
    QLineEdit *m_txtView = nullptr;
    QComboBox *m_cmbRotate = nullptr;
    QCheckBox *m_chkScale = nullptr;
    QPlainTextEdit *m_txtNotes = nullptr;
    QLineEdit *m_txtWidth = nullptr;
    std::array<QLineEdit *, kFlangeCount> m_txtOutside{};
    std::array<QLineEdit *, kBendCount> m_txtAng{};
    std::array<VeeBox *, kBendCount> m_cmbVee{};
    // Tops of the angle boxes in twips, where the marker is drawn.
    std::array<double, kBendCount> m_angleTop{};
};

} // namespace corvane
