#include "shell/About.h"

#include "platform/files/filesys.h"
#include "platform/files/outputnames.h"
#include "platform/files/settings.h"
#include "platform/forms/formcolours.h"
#include "platform/print/print.h"
#include "platform/text/vb.h"
#include "platform/ui/screens/parking.h"
#include "platform/ui/uiservices.h"
#include "services/activitylog.h"
#include "services/workingfolder.h"
#include "shell/formparts.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>
#include <array>
#include <utility>

#ifndef ZARV_VERSION_MAJOR
#define ZARV_VERSION_MAJOR 0
#define ZARV_VERSION_MINOR 0
#define ZARV_VERSION_PATCH 0
#endif
#ifndef ZARV_DESCRIPTION
#define ZARV_DESCRIPTION ""
#endif

namespace zarv {

namespace {

// Form size and the places of the moving parts, in twips.
constexpr int kFormWidth = 5880;
constexpr int kFormHeight = 4800;
constexpr int kRuleY = 2895;
constexpr int kCreditsLeft = 255;
constexpr int kCreditsWidth = 3870;
constexpr int kHeadingDesignTop = 13600;
constexpr int kNameDesignTop = 13900;
constexpr int kHeadingShownTop = 3600;
constexpr int kNameShownTop = 3900;
constexpr int kHeadingHiddenTop = 17600;
constexpr int kNameHiddenTop = 17900;

constexpr long kRuleColor = 0x808080;
constexpr long kSweepColor = 0x00FF00;
constexpr long kCreditsColor = 0xFF0000;       // blue
constexpr long kCreditsBackColor = 0xFFFFC0;   // light cyan

QFont palatino(const QFont& base, qreal points, bool bold = false)
{
    QFont f = base;
    f.setFamilies({QStringLiteral("Palatino Linotype"), QStringLiteral("Palatino"),
                   QStringLiteral("TeX Gyre Pagella"), QStringLiteral("P052"), QStringLiteral("URW Palladio L"),
                   QStringLiteral("serif")});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace

About::About(QWidget* owner) : QDialog(owner)
{
    setupUi(this);
    setWindowIcon(zarvIcon());
    setFixedSize(ui::twipsToPixels(kFormWidth), ui::twipsToPixels(kFormHeight));
    picIcon->setPixmap(zarvIcon().pixmap(32, 32));
    Picture_Printer->setPixmap(printerPicture());

    // The serif face is the first of these the desktop has.
    lblTitle->setFont(palatino(font(), 16, true));
    lblVersion->setFont(palatino(font(), 10));
    lblDescription->setFont(palatino(font(), 10));
    lblDisclaimer->setFont(palatino(font(), 8));
    Label65->setFont(palatino(font(), 9));
    Label65b->setFont(palatino(font(), 12, true));

    Line1->setBorderColor(kRuleColor);
    Line1->setLine(150, kRuleY, 5714, kRuleY);
    Line2->setBorderColor(kSweepColor);
    Line2->setBorderWidth(2);
    Line2->setLine(150, kRuleY, 285, kRuleY);

    ui::setBackColour(Label65b, quint32(kCreditsBackColor));
    label65bColor_ = kCreditsColor;
    ui::setForeColour(Label65b, quint32(label65bColor_));
    placeCredits(kHeadingDesignTop, kNameDesignTop);

    // A larger desktop font widens the buttons; the box grows with them.
    for (QPushButton* b : {cmdOK, cmdSysInfo})
        b->resize(b->size().expandedTo(b->sizeHint()));
    const int right = std::max(cmdOK->geometry().right(), cmdSysInfo->geometry().right()) + ui::twipsToPixels(150);
    if (right > width())
        setFixedSize(right, height());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(6);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    connect(cmdOK, &QPushButton::clicked, this, &About::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &About::cmdSysInfo_Click);
    connect(picIcon, &PictureBox::clicked, this, &About::picIcon_Click);
    connect(Picture_Printer, &PictureBox::clicked, this, &About::Picture_Printer_Click);
    connect(Timer1, &QTimer::timeout, this, &About::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &About::Timer2_Timer);

    Form_Load();
    Timer1->start();
}

void About::place(QWidget* w, int leftTwips, int topTwips, int widthTwips, int heightTwips)
{
    w->setGeometry(ui::twipsToPixels(leftTwips), ui::twipsToPixels(topTwips), ui::twipsToPixels(widthTwips),
                   ui::twipsToPixels(heightTwips));
}

void About::placeCredits(int headingTop, int nameTop)
{
    label65Top_ = headingTop;
    label65bTop_ = nameTop;
    place(Label65, kCreditsLeft, headingTop, kCreditsWidth, 285);
    place(Label65b, kCreditsLeft, nameTop, kCreditsWidth, 600);
}

void About::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(ZARV_VERSION_MAJOR)
                            .arg(ZARV_VERSION_MINOR)
                            .arg(ZARV_VERSION_PATCH));
    lblTitle->setText(ui::UiServices::appTitle());
    lblDescription->setText(QStringLiteral(ZARV_DESCRIPTION));
    creditsStep_ = 0;
}

void About::cmdOK_Click()
{
    Timer1->stop();
    Timer2->stop();
    accept();
}

void About::cmdSysInfo_Click()
{
    StartSysInfo();
}

void About::StartSysInfo()
{
    const fs::Settings& settings = fs::Settings::instance();
    QStringList command = QProcess::splitCommand(settings.systemInfoProgram());
    QString why;
    if (command.isEmpty()) {
        why = QStringLiteral("No system-information program is named in the settings.");
    } else {
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command))
            return;
        why = QStringLiteral("The system-information program %1 could not be started.").arg(program);
    }
    // Without that program the box says what it can: the system, the toolkit,
    // the folders the program works in, and where a fuller report is named.
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    ui::ui().msgBox(QStringLiteral("Operating system: %1 (%2 %3)\r\nQt %4\r\nData folder: %5\r\n"
                                   "Activity log: %6\r\nSettings file: %7\r\n\r\n%8\r\n"
                                   "Name one as SystemInfo under [About] in %7 (for example SystemInfo=hardinfo).")
                        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
                             QString::fromLatin1(qVersion()), native(fs::dataFolder()), native(ActivityLogPath()),
                             native(settings.filePath()), why),
                    ui::Buttons::OK, ui::Icon::Information, QStringLiteral("System Information"));
}

void About::Picture_Printer_Click()
{
    const ui::PrintOutcome outcome =
        ui::offerPrint(QStringLiteral("About ZARV"),
                       ui::PdfTarget{WorkingFolder(), fs::reportPdfName(QStringLiteral("About ZARV")), true},
                       [this](ui::PrintJob& job) { ui::drawWidget(*this, job); });
    ui::tellPrintOutcome(outcome, QStringLiteral("The About form"), QStringLiteral("About ZARV"));
}

void About::picIcon_Click()
{
    if (Timer2->isActive()) {
        Timer2->stop();
        placeCredits(kHeadingHiddenTop, kNameHiddenTop);
    } else {
        AnimateCredits();
        Timer2->start();
    }
}

void About::Timer2_Timer()
{
    AnimateCredits();
}

void About::AnimateCredits()
{
    static constexpr std::array<int, 6> kSizes{16, 18, 20, 22, 24, 26};
    placeCredits(kHeadingShownTop, kNameShownTop);
    if (creditsStep_ >= 0 && creditsStep_ < int(kSizes.size())) {
        QFont f = Label65b->font();
        f.setPointSize(kSizes[creditsStep_]);
        Label65b->setFont(f);
    } else {
        creditsStep_ = -1;
    }
    label65bColor_ = PickColor(QString::number(label65bColor_)).toLong();
    ui::setForeColour(Label65b, quint32(label65bColor_));
    ++creditsStep_;
    ui::ui().doEvents();
}

void About::Timer1_Timer()
{
    int x = Line2->x1();
    if (vb::Trim(Line2->tag).isEmpty()) {
        if (x > 5600) {
            Line2->tag = QStringLiteral("Go Left");
            Line2->setBorderColor(PickColor(QString::number(Line2->borderColor())).toLong());
        } else {
            x += 10;
        }
    } else {
        if (x < 100) {
            Line2->tag.clear();
            Line2->setBorderColor(PickColor(QString::number(Line2->borderColor())).toLong());
        } else {
            x -= 10;
        }
    }
    Line2->setLine(x, Line2->y1(), x + 125, Line2->y2());
}

QString About::PickColor(const QString& ColorText)
{
    static constexpr std::array<std::pair<long, long>, 23> kCycle{{
        {0xFFFFFF, 0xC0C0FF}, {0xC0C0FF, 0xC0E0FF}, {0xC0E0FF, 0xC0FFFF}, {0xC0FFFF, 0xC0FFC0},
        {0xC0FFC0, 0xFFFFC0}, {0xFFFFC0, 0xFFC0C0}, {0xFFC0C0, 0xFFC0FF}, {0xFFC0FF, 0xE0E0E0},
        {0xE0E0E0, 0x8080FF}, {0x8080FF, 0x80C0FF}, {0x80C0FF, 0x80FFFF}, {0x80FFFF, 0x80FF80},
        {0x80FF80, 0xFFFF80}, {0xFFFF80, 0xFF8080}, {0xFF8080, 0xFF80FF}, {0xFF80FF, 0xC0C0C0},
        {0xC0C0C0, 0x0000FF}, {0x0000FF, 0x0080FF}, {0x0080FF, 0x00FFFF}, {0x00FFFF, 0x00FF00},
        {0x00FF00, 0xFFFF00}, {0xFFFF00, 0xFF0000}, {0xFF0000, 0xFF00FF},
    }};
    double value = -1;
    try {
        value = vb::Val(ColorText);
    } catch (const std::exception&) {
        // A text too large for a number is no colour of the cycle.
    }
    for (const auto& [current, next] : kCycle) {
        if (value == double(current))
            return QString::number(next);
    }
    return QString::number(0xFFFFFF);
}

} // namespace zarv
