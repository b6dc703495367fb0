#pragma once
// The payment list of one group: rsDetail restricted to the group by the group
// screen. Sorts the list four ways (the order outlives the screen), opens the
// add, change, delete and search screens, exports the list to Export.csv and
// prints it.
#include "ui_Detail.h"

#include <QDialog>

namespace zarv {

// The controls are laid out in Detail.ui.
class Detail : public QDialog, public Ui_Detail {
    Q_OBJECT
public:
    explicit Detail(QWidget* parent = nullptr);

    // The file Export writes for an agency's payments, beside the payment file.
    static QString exportPath(const QString& mortco);
    // The name of the PDF of an agency's payment list (without a printer).
    static QString reportName(const QString& mortco);

private:
    void Form_Load();
    void Option_Sort_CD_Click();
    void Option_Sort_JUR_Click();
    void Option_Sort_Mortgage_Click();
    void Option_Sort_Name_Click();
    void Command_AddDetail_Click();
    void Command_ChangeDetail_Click();
    void Command_DeleteDetail_Click();
    void Command_Search_Click();
    void Command_Export_Click();
    void Command_Print_Click();
    void Command_Close_Click();

    void sortBy(const QString& source);
    void selectOptionOf(const QString& source);

    bool blnLoading = false;
};

} // namespace zarv
