#include "app/aboutwindow.h"

#include "ground/twips.h"

#include "ground/designfont.h"
#include "ground/maker.h"

#include <QDesktopServices>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace corvane {

namespace {

QRect twips(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

QToolButton *pictureButton(QWidget *parent, const QString &text, const QIcon &icon,
                           const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setIcon(icon);
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

QString AboutWindow::informationText()
{
    const QStringList lines = {
        maker::kProduct + QStringLiteral(" version ") + maker::versionText() +
            QStringLiteral("  (Sheet Metal Bending Software)"),
        QString(),
        QStringLiteral("Developed and Marketed by: ") + maker::kCompany,
        QString(),
        maker::kAddress,
        maker::kContact,
        QStringLiteral("Website: ") + maker::kWebsite,
        QString(70, u'_'),
    };
    return lines.join(QStringLiteral("\r\n"));
}

AboutWindow::AboutWindow(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About ") + maker::kProduct);
    setFixedSize(twips(0, 0, 8295, 5685).size());

    auto *tour =
        pictureButton(this, QStringLiteral("Brief &Tour"),
                      style()->standardIcon(QStyle::SP_MediaPlay), twips(6960, 2760, 1095, 975));
    auto *online =
        pictureButton(this, QStringLiteral("Go On-Line"),
                      style()->standardIcon(QStyle::SP_DriveNetIcon), twips(6960, 3840, 1095, 975));
    auto *label = new QLabel(this);
    label->setFont(designFont(8.25, false));
    // The label shows the lines as the window lays them out; line breaks are CR LF in the text.
    label->setText(informationText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->move(twips(360, 240, 0, 0).topLeft());
    label->adjustSize();
    // Tab order: Go On-Line, Brief Tour, then the text.
    setTabOrder(online, tour);
    online->setFocus();

    connect(tour, &QToolButton::clicked, this,
            [] { QDesktopServices::openUrl(maker::tourPage()); });
    connect(online, &QToolButton::clicked, this,
            [] { QDesktopServices::openUrl(maker::homePage()); });
}

} // namespace corvane
