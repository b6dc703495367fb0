#include "shell/ZARV_ReturnInstructions.h"

#include "platform/data/recordset.h"
#include "platform/files/filesys.h"
#include "platform/files/settings.h"
#include "platform/forms/formcolours.h"
#include "platform/text/vb.h"
#include "platform/ui/uiservices.h"
#include "services/dataenvironment.h"
#include "services/failurenotice.h"
#include "services/system.h"
#include "platform/forms/filelists.h"
#include "shell/formparts.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zarv {

namespace {

const QString kPaymentPattern = QStringLiteral("###,###,###,##0.00");
const QString kDisketteName = QStringLiteral("Zarvdata.csv");

// The folder path as the file system knows it, for comparing two paths.
QString canonicalFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? ui::cleanFolder(folder) : canonical;
}

// The folder that stands for a drive, as the messages name it: in brackets, or
// said to be missing, so that the clerk knows where to look.
QString folderNote(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    return QDir(folder).exists() ? QStringLiteral("(%1)").arg(shown)
                                 : QStringLiteral("(the folder %1 is missing)").arg(shown);
}

} // namespace

std::optional<QString> ReturnFilePath()
{
    db::Recordset& rs = DE().rsZarvSystem();
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() <= 0)
        return std::nullopt;
    rs.moveFirst();
    return joinPath(rs.text(QStringLiteral("Dir")), rs.text(QStringLiteral("File")));
}

double PaymentTotal()
{
    double total = 0;
    db::Recordset& rs = DE().rsGroup();
    if (!rs.isOpen())
        rs.open();
    if (rs.recordCount() > 0) {
        rs.moveFirst();
        while (!rs.eof()) {
            total += rs.number(QStringLiteral("TOT_PAY"));
            rs.moveNext();
        }
        rs.moveFirst();
    }
    return total;
}

bool sameDisketteFile(const QString& path, const QString& target)
{
    const QFileInfo a(path);
    const QFileInfo b(target);
    return a.fileName().compare(b.fileName(), Qt::CaseInsensitive) == 0
           && canonicalFolder(a.absolutePath()) == canonicalFolder(b.absolutePath());
}

struct ZARV_ReturnInstructions::Diskette {
    QString folder;
    QString target;
    QString alreadyText;
    QString copiedText;
    QString failureStatus;
    QString failureLine;
};

ZARV_ReturnInstructions::ZARV_ReturnInstructions(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setWindowIcon(zarvIcon());
    // Larger than the desktop's font, whatever that font is.
    ui::scaleFont(Label_Payment, 1.3);
    ui::setForeColour(Label_Payment, ui::colour::Blue);
    const fs::Settings& settings = fs::Settings::instance();
    Label_Email->setText(settings.returnEmail());
    Command_DriveA->setToolTip(QStringLiteral("Ensure that the original ZARV diskette is in Drive A: (%1)")
                                   .arg(QDir::toNativeSeparators(settings.driveAFolder())));
    Command_DriveB->setToolTip(QStringLiteral("Ensure that the original ZARV diskette is in Drive B: (%1)")
                                   .arg(QDir::toNativeSeparators(settings.driveBFolder())));
    ui::makeStatusBox(Text_Msg);

    connect(Command_DriveA, &QPushButton::clicked, this, &ZARV_ReturnInstructions::Command_DriveA_Click);
    connect(Command_DriveB, &QPushButton::clicked, this, &ZARV_ReturnInstructions::Command_DriveB_Click);
    connect(Command_Exit, &QPushButton::clicked, this, &ZARV_ReturnInstructions::Command_Exit_Click);

    Form_Load();
}

void ZARV_ReturnInstructions::Form_Load()
{
    Label_Payment->setText(vb::Format(0, kPaymentPattern));
    Guarded(QString(), [this] { Label_Payment->setText(vb::Format(PaymentTotal(), kPaymentPattern)); });
    Label_FileName->setText(QString::fromLatin1(kUnknownPath));
    Label_FileName2->setText(QString::fromLatin1(kUnknownPath));
    Guarded(QString(), [this] {
        if (const std::optional<QString> path = ReturnFilePath()) {
            Label_FileName->setText(*path);
            Label_FileName2->setText(*path);
            if (sameDisketteFile(*path, driveATarget()) || sameDisketteFile(*path, driveBTarget()))
                Text_Msg->setText(QStringLiteral("Please NOTE that the zarv data is already on the floppy diskette!"));
        }
    });
}

QString ZARV_ReturnInstructions::driveATarget()
{
    return joinPath(fs::Settings::instance().driveAFolder(), kDisketteName);
}

QString ZARV_ReturnInstructions::driveBTarget()
{
    return joinPath(fs::Settings::instance().driveBFolder(), kDisketteName);
}

void ZARV_ReturnInstructions::Command_DriveA_Click()
{
    copyToDiskette(Diskette{
        fs::Settings::instance().driveAFolder(),
        driveATarget(),
        QStringLiteral("The ZARV data file is already at A:\\Zarvdata.csv"),
        QStringLiteral("ZARV data file is copied to A:\\Zarvdata.csv"),
        QStringLiteral("Unexpected error occurred! Ensure that the ZARV diskette is in Drive A:"),
        QStringLiteral("Ensure that the ZARV diskette is in Drive A:"),
    });
}

void ZARV_ReturnInstructions::Command_DriveB_Click()
{
    copyToDiskette(Diskette{
        fs::Settings::instance().driveBFolder(),
        driveBTarget(),
        QStringLiteral("The ZARV data file is already at  B:\\Zarvdata.csv"),
        QStringLiteral("ZARV data file is copied to B:\\Zarvdata.csv"),
        QStringLiteral("Unexpected error occurred! Ensure that the ZARV diskette is in Drive B:"),
        QStringLiteral("Ensure that the ZARV diskette is in Drive B:"),
    });
}

void ZARV_ReturnInstructions::copyToDiskette(const Diskette& d)
{
    enableButtons(false);
    Text_Msg->setText(QStringLiteral("Copying File ... "));
    ui::ui().doEvents();

    const QString path = Label_FileName->text();
    if (!FileExists(path)) {
        ui::ui().beep();
        Text_Msg->setText(QStringLiteral("File ") + path + QStringLiteral(" is NOT found?. Copy FAILED!"));
    } else if (sameDisketteFile(path, d.target)) {
        Text_Msg->setText(d.alreadyText + QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(path)));
    } else {
        // The copy goes through a temporary file beside the target, so a failed
        // copy leaves an earlier Zarvdata.csv on the diskette whole; a
        // write-protected one is not replaced at all.
        QString error;
        const bool protectedTarget = fs::isReadOnly(d.target);
        if (!protectedTarget && fs::copyReplace(path, d.target, &error) && fs::sameBytes(path, d.target)) {
            Text_Msg->setText(d.copiedText + QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(d.target)));
        } else {
            const QString where = QLatin1Char(' ') + folderNote(d.folder);
            Text_Msg->setText(d.failureStatus + where);
            ui::ui().msgBox(QStringLiteral("Unexpected error occurred: \r\n") + d.failureLine + where, ui::Buttons::OK,
                            ui::Icon::Critical);
        }
    }
    enableButtons(true);
}

void ZARV_ReturnInstructions::enableButtons(bool on)
{
    Command_DriveA->setEnabled(on);
    Command_DriveB->setEnabled(on);
    Command_Exit->setEnabled(on);
}

void ZARV_ReturnInstructions::Command_Exit_Click()
{
    accept();
}

} // namespace zarv
