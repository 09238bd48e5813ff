#pragma once

// The look that the Common Details and Section Details windows share, and the way both show the
// job's values in their controls. Every text is Trebuchet MS (the system puts its nearest sans
// serif in where the font is missing); captions are bold 8.25 pt navy, text boxes and pick lists
// bold 9 pt.

#include "ground/designfont.h"

#include <QColor>
#include <QFont>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace corvane {

class PickList;

inline constexpr double kCaptionPoints = 8.25;
inline constexpr double kBoxPoints = 9;
inline const QColor kNavy(0, 0, 128);

// A caption in bold navy; a label's text stands at its top left, wrapped when wrap is set.
void styleCaption(QWidget &widget, double points = kCaptionPoints);
QLabel *makeLabel(const QString &text, QWidget *parent, bool wrap = false,
                  double points = kCaptionPoints);
// A text box or a pick list.
void styleBox(QWidget &box);

// Shows text in edit unless it shows it already, so that while the operator types the caret stays
// where it is and the box's undo keeps its steps.
void showText(QLineEdit &edit, const QString &text);
// The tint of a number box whose text is not read as it shows: amber, never the red of a vee too
// wide.
inline const QColor kNoteTint(255, 224, 140);
// Shows a number box's reading note (readingNote of ground/numbers.h): the tint, the note as
// its tooltip and its accessible description; an empty note shows the box as usual.
void showReadingNote(QLineEdit &box, const QString &note);

// Shows the items of list and its chosen item (none chosen: an empty box). Nothing done here comes
// back as a choice of the operator.
void showPickList(QComboBox &box, const PickList &list);

} // namespace corvane
