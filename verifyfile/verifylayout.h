#pragma once
// The layout of the verification workbook, shared by its reader and its writer:
// sheet names, headings and column widths, and the error the two conversions
// raise for failures that are not the database's.
#include "platform/text/failure.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zarv::verifylayout {

// Sheet 1, "Mortgage": one folio of VERIFY per row, columns A to N.
inline const QString kMortgageSheet = QStringLiteral("Mortgage");
inline const QStringList kMortgageHeadings = {
    QStringLiteral("ACD"),
    QStringLiteral("MORTGAGE CO."),
    QStringLiteral("MORTGAGE NUMBER"),
    QStringLiteral("COLLECTION DISTRICT CODE"),
    QStringLiteral("JURISDICTION CODE"),
    QStringLiteral("FOLIO NUMBER"),
    QStringLiteral("PROPERTY IDENTIFIER"),
    QStringLiteral("NAME"),
    QStringLiteral("ADDRESS 1"),
    QStringLiteral("ADDRESS 2"),
    QStringLiteral("ADDRESS 3"),
    QStringLiteral("ADDRESS 4"),
    QStringLiteral("ADDRESS 5"),
    QStringLiteral("LEGAL DESCRIPTION"),
};
inline const QList<double> kMortgageWidths = {4, 13, 16, 25, 18, 19, 20, 44, 30, 30, 30, 30, 30, 42};
// The VERIFY fields of columns A to N.
inline const QStringList kVerifyFields = {
    QStringLiteral("ACD"),   QStringLiteral("MORTCO"), QStringLiteral("NUMBER"), QStringLiteral("CD"),
    QStringLiteral("JUR"),   QStringLiteral("FOLIO"),  QStringLiteral("PID"),    QStringLiteral("NAME"),
    QStringLiteral("ADDR1"), QStringLiteral("ADDR2"),  QStringLiteral("ADDR3"),  QStringLiteral("ADDR4"),
    QStringLiteral("ADDR5"), QStringLiteral("LEGAL"),
};
constexpr int kMortgageColumns = 14;

// Sheet 2, "Folio Mask".
inline const QString kFolioMaskSheet = QStringLiteral("Folio Mask");
inline const QStringList kFolioMaskHeadings = {
    QStringLiteral("JURISDICTION CODE"), QStringLiteral("FOLIO LENGTH"), QStringLiteral("FOLIO MASK")};
inline const QList<double> kFolioMaskWidths = {17, 12, 12};

// Sheet 3, "Collection District".
inline const QString kDistrictSheet = QStringLiteral("Collection District");
inline const QStringList kDistrictHeadings = {
    QStringLiteral("COLLECTION DISTRICT CODE"), QStringLiteral("COLLECTION DISTRICT NAME")};
inline const QList<double> kDistrictWidths = {24, 35};

// Sheet 4, "Jurisdiction".
inline const QString kJurisdictionSheet = QStringLiteral("Jurisdiction");
inline const QStringList kJurisdictionHeadings = {
    QStringLiteral("JURISDICTION CODE"), QStringLiteral("JURISDICTION NAME")};
inline const QList<double> kJurisdictionWidths = {19, 31};

// Sheet 5, "Collection Jurisdiction Combo".
inline const QString kComboSheet = QStringLiteral("Collection Jurisdiction Combo");
inline const QStringList kComboHeadings = {
    QStringLiteral("COLLECTION DISTRICT CODE"), QStringLiteral("JURISDICTION CODE")};
inline const QList<double> kComboWidths = {23, 17};

// A failure of a conversion step that is not the database's, with the error
// number and description its message shows.
class StepError : public NumberedError {
public:
    StepError(long number, const QString& description) : NumberedError(number, description) {}

    static constexpr long Overflow = 6;
    static constexpr long SubscriptOutOfRange = 9;
    static constexpr long TypeMismatch = 13;
    static constexpr long FileAccess = 75;
    static constexpr long ObjectNotSet = 91;
    static constexpr long WorkbookFailure = 1004;
};

} // namespace zarv::verifylayout
