#pragma once
// The list of repeated payments the last load set aside. Opening it also puts
// the listed payments into table Detail, so that the printed payment report
// shows them.
#include "paymentfile/paymentfile.h"

#include "ui_DuplicateFolios.h"

#include <QDialog>

namespace zarv {

// The controls are laid out in DuplicateFolios.ui.
class DuplicateFolios : public QDialog, public Ui_DuplicateFolios {
    Q_OBJECT
public:
    explicit DuplicateFolios(QWidget* parent = nullptr);

    // The payment data file the repeats were found in: the title, the text
    // and the count name it.
    void setDataFile(const QString& path);

private:
    void Form_Load();
    void Command_Print_Click();
    void Command_OK_Click();

    QString introText() const;
    QString countText() const;
    void refillDetail(int last);

    QString dataFile_;
};

// The list line of one entry: agency, district, jurisdiction and display folio
// (each shown whole), the name in 25 characters, the payment with two decimals
// right-aligned in 14 and the legal description in 32, each followed by one
// blank; every value stands under its title in DupFolioListHeading().
QString DupFolioListLine(const DupFolioRow& entry);
QString DupFolioListHeading();

} // namespace zarv
