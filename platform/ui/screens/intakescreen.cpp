#include "platform/ui/screens/intakescreen.h"

#include "ui_intakescreen.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidgetItem>

namespace zarv::ui {

IntakeScreen::IntakeScreen(const fs::Intake& intake, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::IntakeScreen>())
{
    ui_->setupUi(this);
    ui_->lblFile->setText(intake.path);
    ui_->lblWrittenBack->setText(intake.writtenBack);
    QTableWidget* table = ui_->tblFindings;
    if (QTableWidgetItem* heading = table->horizontalHeaderItem(1))
        heading->setText(intake.lineName.left(1).toUpper() + intake.lineName.mid(1));
    table->setRowCount(int(intake.findings.size()));
    int row = 0;
    for (const fs::IntakeFinding& f : intake.findings) {
        const QString cells[] = {fs::intakeKindName(f.kind), f.line > 0 ? QString::number(f.line) : QString(),
                                 f.asRead, f.asStored, f.text};
        for (int column = 0; column < 5; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
        ++row;
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeRowsToContents();
    ui_->cmdCancel->setFocus();
}

IntakeScreen::~IntakeScreen() = default;

} // namespace zarv::ui
