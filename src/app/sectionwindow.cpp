#include "app/sectionwindow.h"

#include "app/formstyle.h"
#include "editing/jobeditor.h"
#include "app/quotefilter.h"
#include "app/veebox.h"
#include "ground/numbers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace corvane {

namespace {

constexpr double kClientWidth = 4230;

// Row 0 of the bend rows; every further element stands 1.16 times its height below the one
// before: flanges every 417.6 twips, angles and vees every 452.4.
constexpr double kRowLeft[] = {120, 1680, 3240}; // flange, angle, vee
constexpr double kRowTop[] = {1800, 1980, 2000};
constexpr double kRowWidth = 855;
constexpr double kFlangeHeight = 360;
constexpr double kBendHeight = 390;
constexpr double kRowStep = 1.16;

// The designed height (5370) ends above the last rows; the window is as tall as they need, with
// the same margin below flange 10 as at the left.
constexpr double kLastFlangeTop = kRowTop[0] + (kFlangeCount - 1) * kRowStep * kFlangeHeight;
constexpr double kClientHeight = kLastFlangeTop + kFlangeHeight + 120;

// The bend marker: a line from x 3600 to 1080 across the bend row, and strokes from 100 twips
// to its left, 300 above and below, to its left end.
constexpr double kMarkerRight = 3600;
constexpr double kMarkerLeft = 1080;
constexpr double kStrokeWidth = 100;
constexpr double kStrokeRise = 300;
const QColor kMarkerGrey(192, 192, 192);

// The job holds the lines of the notes with CR LF between them; the box ends its blocks with a
// paragraph separator and a line broken inside a block with a line separator.
QString notesOfBox(const QPlainTextEdit &box)
{
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

QString notesForBox(QString notes)
{
    return notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

template<typename Widget, std::size_t N>
int indexIn(const std::array<Widget *, N> &widgets, const QObject *object)
{
    const auto it = std::find(widgets.begin(), widgets.end(), object);
    return it == widgets.end() ? -1 : int(it - widgets.begin());
}

} // namespace

SectionWindow::SectionWindow(JobEditor &editor, int number, QWidget *parent)
    : QWidget(parent), m_editor(editor), m_number(number)
{
    setWindowTitle(QStringLiteral("Section Details"));

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    // Rows taller than the window scroll up and down; the window is as wide as the rows and the
    // scroll bar beside them (sizeHint), so that the bar covers no control and none needs a
    // sideways scroll.
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    m_rows = new QWidget;
    m_rows->installEventFilter(this);

    m_twips.place(makeLabel(QStringLiteral("View"), m_rows), 120, 120, 615, 255);
    m_twips.place(makeLabel(QStringLiteral("Rotate deg"), m_rows, true), 1560, 120, 615, 495);
    m_twips.place(makeLabel(QStringLiteral("Notes"), m_rows), 120, 650, 615, 255);
    m_twips.place(makeLabel(QStringLiteral("Width mm"), m_rows), 3120, 650, 1095, 255);
    m_twips.place(makeLabel(QStringLiteral("Flange Outside mm"), m_rows, true), 120, 1320, 975,
                  495);
    m_twips.place(makeLabel(QStringLiteral("Bend Angle deg"), m_rows, true), 1680, 1440, 855, 495);
    m_twips.place(makeLabel(QStringLiteral("Vee"), m_rows), 3240, 1680, 735, 255);

    // Created in tab order: flange 0, angle 0, vee 0, flange 1, ..., vee 9, flange 10, then View,
    // Rotate, 1:1 Scale, Notes and the blank's width.
    for (int i = 0; i < kFlangeCount; ++i)
        addRow(i);

    m_txtView = new QLineEdit(m_rows);
    m_txtView->setObjectName(QStringLiteral("txtView"));
    m_txtView->setAccessibleName(QStringLiteral("View"));
    styleBox(*m_txtView);
    QuoteFilter::install(m_txtView);
    m_twips.place(m_txtView, 600, 120, 855, 390);
    connect(m_txtView, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_editor.setView(m_number, text); });

    m_cmbRotate = new QComboBox(m_rows);
    m_cmbRotate->setObjectName(QStringLiteral("cmbRotate"));
    m_cmbRotate->setAccessibleName(QStringLiteral("Rotate deg"));
    styleBox(*m_cmbRotate);
    m_twips.place(m_cmbRotate, 2160, 120, 855, 390);
    connect(m_cmbRotate, &QComboBox::activated, this,
            [this](int index) { m_editor.chooseRotate(m_number, index); });

    m_chkScale = new QCheckBox(QStringLiteral("1:1 Scale"), m_rows);
    m_chkScale->setObjectName(QStringLiteral("chkScale"));
    styleCaption(*m_chkScale);
    m_twips.place(m_chkScale, 3120, 240, 1095, 240);
    connect(m_chkScale, &QCheckBox::clicked, this,
            [this](bool checked) { m_editor.setScale(m_number, checked ? 1 : 0); });

    m_txtNotes = new QPlainTextEdit(m_rows);
    m_txtNotes->setObjectName(QStringLiteral("txtNotes"));
    m_txtNotes->setAccessibleName(QStringLiteral("Notes"));
    m_txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes on to the next control, as in every other box.
    m_txtNotes->setTabChangesFocus(true);
    styleBox(*m_txtNotes);
    m_twips.place(m_txtNotes, 600, 650, 2415, 615);
    // After the quote filter, so that the notes reach the job stripped.
    QuoteFilter::install(m_txtNotes);
    connect(m_txtNotes->document(), &QTextDocument::contentsChanged, this,
            [this] { notesEdited(); });

    // The width of the flat blank, which only the DXF drawing of the blank uses.
    m_txtWidth = new QLineEdit(m_rows);
    m_txtWidth->setObjectName(QStringLiteral("txtWidth"));
    m_txtWidth->setAccessibleName(QStringLiteral("Width mm"));
    styleBox(*m_txtWidth);
    QuoteFilter::install(m_txtWidth);
    m_twips.place(m_txtWidth, 3120, 905, 975, 360);
    connect(m_txtWidth, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_editor.setWidth(m_number, text); });

    QWidget *previous = m_txtOutside[0];
    auto chain = [&previous](QWidget *next) {
        setTabOrder(previous, next);
        previous = next;
    };
    for (int i = 0; i < kFlangeCount; ++i) {
        if (i > 0)
            chain(m_txtOutside[i]);
        if (i < kBendCount) {
            chain(m_txtAng[i]);
            chain(m_cmbVee[i]);
        }
    }
    for (QWidget *widget : std::initializer_list<QWidget *>{m_txtView, m_cmbRotate, m_chkScale,
                                                            m_txtNotes, m_txtWidth}) {
        chain(widget);
        widget->installEventFilter(this);
    }

    applyGeometry();
    m_scroll->setWidget(m_rows);
    connect(&m_editor, &JobEditor::jobChanged, this, [this] { redraw(); });
    redraw();
}

void SectionWindow::addRow(int i)
{
    // The design gives row 0; row i stands 1.16 heights below row i - 1, computed step by step
    // in twips as the rows are loaded.
    static_assert(kBendCount == kFlangeCount - 1);
    double flangeTop = kRowTop[0];
    double bendTops[2] = {kRowTop[1], kRowTop[2]};
    for (int k = 0; k < i; ++k) {
        flangeTop += kRowStep * kFlangeHeight;
        bendTops[0] += kRowStep * kBendHeight;
        bendTops[1] += kRowStep * kBendHeight;
    }

    auto *flange = new QLineEdit(m_rows);
    flange->setObjectName(QStringLiteral("txtOutside%1").arg(i));
    flange->setAccessibleName(QStringLiteral("Flange Outside mm %1").arg(i));
    styleBox(*flange);
    QuoteFilter::install(flange);
    flange->installEventFilter(this);
    m_twips.place(flange, kRowLeft[0], flangeTop, kRowWidth, kFlangeHeight);
    connect(flange, &QLineEdit::textEdited, this,
            [this, i](const QString &text) { m_editor.setOutside(m_number, i, text); });
    m_txtOutside[i] = flange;
    if (i >= kBendCount)
        return;

    auto *angle = new QLineEdit(m_rows);
    angle->setObjectName(QStringLiteral("txtAng%1").arg(i));
    angle->setAccessibleName(QStringLiteral("Bend Angle deg %1").arg(i));
    styleBox(*angle);
    QuoteFilter::install(angle);
    angle->installEventFilter(this);
    m_twips.place(angle, kRowLeft[1], bendTops[0], kRowWidth, kBendHeight);
    connect(angle, &QLineEdit::textEdited, this,
            [this, i](const QString &text) { m_editor.setAngle(m_number, i, text); });
    m_txtAng[i] = angle;
    m_angleTop[i] = bendTops[0];

    auto *vee = new VeeBox(m_rows);
    vee->setObjectName(QStringLiteral("cmbVee%1").arg(i));
    vee->setAccessibleName(QStringLiteral("Vee %1").arg(i));
    styleBox(*vee);
    vee->installEventFilter(this);
    m_twips.place(vee, kRowLeft[2], bendTops[1], kRowWidth, kBendHeight);
    connect(vee, &QComboBox::activated, this,
            [this, i](int index) { m_editor.chooseVee(m_number, i, index); });
    m_cmbVee[i] = vee;
}

QString SectionWindow::focusedNote() const
{
    const Section &section = m_editor.job().section(m_number);
    const QWidget *focus = QApplication::focusWidget();
    if (const int i = indexIn(m_txtOutside, focus); i >= 0)
        return section.outsideNote(i);
    if (const int j = indexIn(m_txtAng, focus); j >= 0)
        return section.angleNote(j);
    if (focus == m_txtWidth)
        return section.widthNote();
    return {};
}

QSize SectionWindow::sizeHint() const
{
    const int dpi = logicalDpiY();
    const int scrollBar = m_scroll->verticalScrollBar()->sizeHint().width();
    return {Twips::toPixels(kClientWidth, dpi) + scrollBar, Twips::toPixels(kClientHeight, dpi)};
}

void SectionWindow::focusFirstFlange()
{
    m_txtOutside[0]->setFocus(Qt::OtherFocusReason);
    // Also when it had the focus already: the window may have been sized anew since.
    scrollTo(m_txtOutside[0]);
}

void SectionWindow::focusField(const EditedField &field)
{
    using K = EditedField::Kind;
    QWidget *box = nullptr;
    switch (field.kind) {
    case K::Outside:
        box = m_txtOutside.at(field.index);
        break;
    case K::Angle:
        box = m_txtAng.at(field.index);
        break;
    case K::Vee:
        box = m_cmbVee.at(field.index);
        break;
    case K::View:
        box = m_txtView;
        break;
    case K::Rotate:
        box = m_cmbRotate;
        break;
    case K::Scale:
        box = m_chkScale;
        break;
    case K::Notes:
        box = m_txtNotes;
        break;
    case K::Width:
        box = m_txtWidth;
        break;
    default:
        return;
    }
    box->setFocus(Qt::OtherFocusReason);
    scrollTo(box);
}

bool SectionWindow::event(QEvent *event)
{
    // Moved to a screen of other dots per inch: the fonts follow by themselves, the layout here.
    if (event->type() == QEvent::ScreenChangeInternal) {
        applyGeometry();
        updateGeometry();
    }
    return QWidget::event(event);
}

bool SectionWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_rows && event->type() == QEvent::Paint)
        paintMarker();
    else if (event->type() == QEvent::FocusIn)
        focusEntered(static_cast<QWidget *>(watched));
    else if (event->type() == QEvent::Wheel && watched != m_rows) {
        // The wheel over a list that the operator is not in scrolls the rows; it must not choose
        // another vee or rotation on the way.
        auto *list = qobject_cast<QComboBox *>(watched);
        if (list && !list->hasFocus()) {
            QCoreApplication::sendEvent(m_scroll->verticalScrollBar(), event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SectionWindow::applyGeometry()
{
    const int dpi = logicalDpiY();
    m_twips.apply(dpi);
    m_rows->setFixedSize(Twips::toPixels(kClientWidth, dpi), Twips::toPixels(kClientHeight, dpi));
}

void SectionWindow::focusEntered(QWidget *widget)
{
    scrollTo(widget);
    // Flanges 0 and 1 mark bend 0, 2 and 3 bend 2, flange 10 bend 9: as the window always has.
    if (const int i = indexIn(m_txtOutside, widget); i >= 0)
        markBend(i - i % 2);
    else if (const int j = indexIn(m_txtAng, widget); j >= 0)
        markBend(j);
    else if (const int k = indexIn(m_cmbVee, widget); k >= 0)
        markBend(k);
}

void SectionWindow::scrollTo(QWidget *widget)
{
    // The whole control, not only its caret, which is all that the scroll area would show of a
    // text box.
    const QRect place(widget->mapTo(m_rows, QPoint(0, 0)), widget->size());
    m_scroll->ensureVisible(place.center().x(), place.center().y(), place.width() / 2 + 4,
                            place.height() / 2 + 4);
}

void SectionWindow::markBend(int j)
{
    // Flange 10 has no bend of its own; it marks the last one.
    if (j > kBendCount - 1)
        --j;
    if (j == m_markedBend)
        return;
    m_markedBend = j;
    m_rows->update();
}

void SectionWindow::paintMarker()
{
    const int dpi = m_rows->logicalDpiY();
    auto px = [dpi](double twips) {
        return Twips::toPixels(twips, dpi);
    };
    const double y = m_angleTop[m_markedBend] + kBendHeight / 2;
    QPainter painter(m_rows);
    painter.setPen(QPen(kMarkerGrey, std::max(1, px(15))));
    painter.drawLine(px(kMarkerRight), px(y), px(kMarkerLeft), px(y));
    const double strokeLeft = kMarkerLeft - kStrokeWidth;
    painter.drawLine(px(strokeLeft), px(y - kStrokeRise), px(kMarkerLeft), px(y));
    painter.drawLine(px(strokeLeft), px(y + kStrokeRise), px(kMarkerLeft), px(y));
}

void SectionWindow::redraw()
{
    const Section &section = m_editor.job().section(m_number);
    for (int i = 0; i < kFlangeCount; ++i) {
        showText(*m_txtOutside[i], section.outside(i));
        showReadingNote(*m_txtOutside[i], readingNote(section.outside(i)));
    }
    for (int i = 0; i < kBendCount; ++i) {
        showText(*m_txtAng[i], section.angle(i));
        showReadingNote(*m_txtAng[i], readingNote(section.angle(i)));
        showPickList(*m_cmbVee[i], section.vee(i));
        m_cmbVee[i]->setRed(section.veeRed(i));
    }
    showText(*m_txtView, section.view());
    showText(*m_txtWidth, section.width());
    showReadingNote(*m_txtWidth, readingNote(section.width()));
    showPickList(*m_cmbRotate, section.rotate());
    if (m_chkScale->isChecked() != (section.scale() == 1))
        m_chkScale->setChecked(section.scale() == 1);
    redrawNotes();
}

void SectionWindow::redrawNotes()
{
    const QString &notes = m_editor.job().section(m_number).notes();
    if (notesOfBox(*m_txtNotes) == notes)
        return;
    // The text the box is given is the job's, not an edit of the operator's.
    m_showingNotes = true;
    m_txtNotes->setPlainText(notesForBox(notes));
    m_showingNotes = false;
}

void SectionWindow::notesEdited()
{
    if (m_showingNotes)
        return;
    const QString notes = notesOfBox(*m_txtNotes);
    if (notes != m_editor.job().section(m_number).notes())
        m_editor.setNotes(m_number, notes);
}

} // namespace corvane
