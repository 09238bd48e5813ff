#include "app/commonwindow.h"

#include "app/formstyle.h"
#include "editing/jobeditor.h"
#include "app/quotefilter.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace corvane {

namespace {

constexpr double kClientWidth = 4230;
constexpr double kClientHeight = 3075;
constexpr double kLabelHeight = 255;
constexpr double kBoxHeight = 390;

// The four common texts, in the order of job().common(), which is also their tab order.
struct TextPlace
{
    const char *caption;
    double labelLeft;
    double labelWidth;
    double left;
    double top;
    double width;
};
constexpr TextPlace kTexts[kCommonTextCount] = {
    {"Customer", 360, 975, 1200, 120, 2895},
    {"Part No", 480, 615, 1200, 600, 1575},
    {"Rev", 2880, 375, 3240, 600, 855},
    {"Description", 120, 975, 1200, 1080, 2895},
};

// Material, Thick mm and Vee All: the caption above its list.
struct ListPlace
{
    const char *caption;
    const char *name;
    double left;
    double labelWidth;
    double width;
};
constexpr ListPlace kLists[] = {
    {"Material", "cmbMaterial", 120, 975, 1455},
    {"Thick mm", "cmbThickness", 1920, 855, 975},
    {"Vee All", "cmbVeeG", 3240, 735, 855},
};
constexpr double kListLabelTop = 1560;
constexpr double kListTop = 1800;

constexpr double kButtonLeft[kSectionCount] = {1200, 1800, 2400, 3000, 3600};
constexpr double kButtonTop = 2520;
constexpr double kButtonWidth = 495;
constexpr double kButtonHeight = 420;

QFont sectionButtonFont(bool current)
{
    QFont font = designFont(current ? 10 : 9, current);
    font.setUnderline(current);
    return font;
}

} // namespace

CommonWindow::CommonWindow(JobEditor &editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setWindowTitle(QStringLiteral("Common Details"));

    // Created in tab order: the texts, the three lists, then the buttons from 5 down to 1.
    for (int i = 0; i < kCommonTextCount; ++i) {
        const TextPlace &p = kTexts[i];
        const QString caption = QString::fromLatin1(p.caption);
        m_twips.place(makeLabel(caption, this), p.labelLeft, p.top, p.labelWidth, kLabelHeight);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("txtcom%1").arg(i));
        edit->setAccessibleName(caption);
        styleBox(*edit);
        QuoteFilter::install(edit);
        m_twips.place(edit, p.left, p.top, p.width, kBoxHeight);
        connect(edit, &QLineEdit::textEdited, this,
                [this, i](const QString &text) { m_editor.setCommonText(i, text); });
        m_txtcom[i] = edit;
    }

    std::array<QComboBox *, 3> lists{};
    for (int k = 0; k < 3; ++k) {
        const ListPlace &p = kLists[k];
        const QString caption = QString::fromLatin1(p.caption);
        m_twips.place(makeLabel(caption, this), p.left, kListLabelTop, p.labelWidth, kLabelHeight);
        auto *list = new QComboBox(this);
        list->setObjectName(QString::fromLatin1(p.name));
        list->setAccessibleName(caption);
        styleBox(*list);
        m_twips.place(list, p.left, kListTop, p.width, kBoxHeight);
        lists[k] = list;
    }
    m_cmbMaterial = lists[0];
    m_cmbThickness = lists[1];
    m_cmbVeeG = lists[2];
    connect(m_cmbMaterial, &QComboBox::activated, this,
            [this](int index) { m_editor.chooseMaterial(index); });
    connect(m_cmbThickness, &QComboBox::activated, this,
            [this](int index) { m_editor.chooseThickness(index); });
    connect(m_cmbVeeG, &QComboBox::activated, this,
            [this](int index) { m_editor.chooseVeeAll(index); });
    m_cmbVeeG->installEventFilter(this);

    auto *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    m_twips.place(separator, 120, 2280, 4050, 92);
    m_twips.place(makeLabel(QStringLiteral("SECTIONS"), this, false, 9.75), 120, 2520, 1095,
                  kLabelHeight);

    QPixmap green(6, 6);
    green.fill(QColor(34, 177, 76));
    m_picGreen = QIcon(green);
    for (int n = kSectionCount; n >= 1; --n) {
        auto *button = new QPushButton(QString::number(n), this);
        button->setObjectName(QStringLiteral("cmd%1").arg(n));
        button->setFont(sectionButtonFont(false));
        button->setIconSize(green.size());
        button->setToolTip(tr("Show section %1 (%2)")
                               .arg(n)
                               .arg(sectionKey(n).toString(QKeySequence::NativeText)));
        m_twips.place(button, kButtonLeft[n - 1], kButtonTop, kButtonWidth, kButtonHeight);
        connect(button, &QPushButton::clicked, this, [this, n] {
            // The focus goes to the button first; the main window moves it on into the first
            // flange of the section as it shows it.
            m_cmd[n - 1]->setFocus(Qt::OtherFocusReason);
            m_editor.showSection(n);
        });
        m_cmd[n - 1] = button;
    }

    QWidget *previous = m_txtcom[0];
    auto chain = [&previous](QWidget *next) {
        setTabOrder(previous, next);
        previous = next;
    };
    for (int i = 1; i < kCommonTextCount; ++i)
        chain(m_txtcom[i]);
    for (QComboBox *list : lists)
        chain(list);
    for (int n = kSectionCount; n >= 1; --n)
        chain(m_cmd[n - 1]);

    m_twips.apply(logicalDpiY());
    connect(&m_editor, &JobEditor::jobChanged, this, [this] { redraw(); });
    redraw();
}

QKeySequence CommonWindow::sectionKey(int n)
{
    return QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + n));
}

QSize CommonWindow::sizeHint() const
{
    const int dpi = logicalDpiY();
    return {Twips::toPixels(kClientWidth, dpi), Twips::toPixels(kClientHeight, dpi)};
}

bool CommonWindow::event(QEvent *event)
{
    // Moved to a screen of other dots per inch: the fonts follow by themselves, the layout here.
    if (event->type() == QEvent::ScreenChangeInternal) {
        m_twips.apply(logicalDpiY());
        updateGeometry();
    }
    return QWidget::event(event);
}

void CommonWindow::focusField(const EditedField &field)
{
    using K = EditedField::Kind;
    QWidget *box = field.kind == K::Material    ? m_cmbMaterial
                   : field.kind == K::Thickness ? m_cmbThickness
                   : field.kind == K::VeeAll    ? m_cmbVeeG
                                                : static_cast<QWidget *>(m_txtcom.at(field.index));
    box->setFocus(Qt::OtherFocusReason);
}

bool CommonWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmbVeeG && event->type() == QEvent::FocusOut) {
        // Opening the list's own drop-down, a menu or another program's window is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::MenuBarFocusReason)
            Q_EMIT veeAllLeft();
    }
    return QWidget::eventFilter(watched, event);
}

void CommonWindow::redraw()
{
    const Job &job = m_editor.job();
    for (int i = 0; i < kCommonTextCount; ++i)
        showText(*m_txtcom[i], job.common(i));
    showPickList(*m_cmbMaterial, job.material());
    showPickList(*m_cmbThickness, job.thickness());
    showPickList(*m_cmbVeeG, job.veeAll());
    showSectionButtons();
}

void CommonWindow::showSectionButtons()
{
    for (int n = 1; n <= kSectionCount; ++n) {
        QPushButton *button = m_cmd[n - 1];
        const QFont font = sectionButtonFont(n == m_editor.activeSectionIndex());
        if (button->font() != font)
            button->setFont(font);
        const bool marked = m_editor.inUseMark(n);
        if (button->icon().isNull() == marked)
            button->setIcon(marked ? m_picGreen : QIcon());
    }
}

} // namespace corvane
