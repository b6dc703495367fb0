#pragma once
// Finds payments of the current group by up to five criteria in the read-only
// rsDetail2, and on Select moves the payment list (rsDetail) to the chosen one.
// Typed criteria match literally: no character of them acts as a wildcard or
// can break the filter.
#include "ui_Detail_Search.h"

#include <QDialog>

namespace zarv {

namespace ui {
class FieldRules;
}

// The controls are laid out in Detail_Search.ui: a tick and a box per criterion.
class Detail_Search : public QDialog, public Ui_Detail_Search {
    Q_OBJECT
public:
    explicit Detail_Search(QWidget* parent = nullptr);

    // The search covers the current group of rsGroup: without one it cannot open.
    static bool canOpen();
    bool loaded() const { return loaded_; }

    ui::FieldRules* rules = nullptr;

public slots:
    void done(int r) override;

private:
    void Form_Load();
    void Form_Unload();
    void Check_Click(QCheckBox* check, QLineEdit* box);
    void Command_Find_Click();
    void Command_Select_Click();
    void Command_Close_Click();

    // The first ticked criterion whose box is empty, with its message; false when none.
    bool emptyCriterion(QLineEdit*& box, QString& message) const;
    QString buildFilter(const QString& mortco);
    bool placePaymentList();

    QString mortco_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

} // namespace zarv
