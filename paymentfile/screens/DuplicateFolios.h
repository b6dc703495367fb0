#pragma once
// The list of repeated payments the last load set aside. Opening it also puts
// the listed payments into table Detail, so that the printed payment report
// shows them.
#include "paymentfile/paymentfile.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace zarv {

class DuplicateFolios : public QDialog {
    Q_OBJECT
public:
    explicit DuplicateFolios(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* List_DuplicateFolios = nullptr;
    QLabel* Label_FolioCount = nullptr;
    QPushButton* Command_Print = nullptr;
    QPushButton* Command_OK = nullptr;

private:
    void Form_Load();
    void Command_Print_Click();
    void Command_OK_Click();

    QString countText() const;
    void refillDetail(int last);
};

// The list line of one entry: agency, district, jurisdiction and display folio
// (each shown whole), the name in 25 characters, the payment with two decimals
// right-aligned in 14 and the legal description in 32, each followed by one
// blank; every value stands under its title in DupFolioListHeading().
QString DupFolioListLine(const DupFolioRow& entry);
QString DupFolioListHeading();

} // namespace zarv
