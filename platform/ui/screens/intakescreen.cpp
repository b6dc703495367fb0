#include "platform/ui/screens/intakescreen.h"

#include "ui_intakescreen.h"

#include <QDir>
#include <QHeaderView>
#include <QLayout>
#include <QEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidgetItem>

#include <algorithm>

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
    table->resizeRowsToContents();
    decisionWidth_ = table->columnWidth(kDecision);
    table->viewport()->installEventFilter(this);

    // Wide enough for every column, as far as the screen allows (the screen's
    // own fit bounds it); a table wider than that scrolls sideways.
    int columns = 0;
    for (int column = 0; column < table->columnCount(); ++column)
        columns += table->columnWidth(column);
    const QMargins margins = layout()->contentsMargins();
    const int needed = columns + 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width()
                       + margins.left() + margins.right();
    if (needed > width())
        resize(needed, height());
    ui_->cmdCancel->setFocus();
}

// The Decision column fills the width the other columns leave, but never
// shrinks below its longest decision: a decision the clerk cannot read whole
// would hide what the load is about to do.
bool IntakeScreen::eventFilter(QObject* watched, QEvent* event)
{
    QTableWidget* table = ui_->tblFindings;
    if (watched == table->viewport() && event->type() == QEvent::Resize) {
        int others = 0;
        for (int column = 0; column < kDecision; ++column)
            others += table->columnWidth(column);
        table->setColumnWidth(kDecision, std::max(decisionWidth_, table->viewport()->width() - others));
    }
    return QDialog::eventFilter(watched, event);
}

IntakeScreen::~IntakeScreen() = default;

} // namespace zarv::ui
