#include "verification/verifyhelp.h"

#include "verification/verifycsv.h"

#include <QStringList>

namespace zarv::verifyhelp {

namespace {

const QString CRLF = QStringLiteral("\r\n");

// "NAME    Char (70) Name": the name in 8 columns, its width in 10, then what it holds.
QString fieldLine(const QString& name, int width, const QString& description)
{
    return name.leftJustified(8, QLatin1Char(' ')) +
           QStringLiteral("Char (%1)").arg(width).leftJustified(10, QLatin1Char(' ')) + description;
}

} // namespace

QString ExportHelpText()
{
    static const QString descriptions[verifycsv::kFieldCount] = {
        QStringLiteral("{A-Added Folio, C-Changed Folio, D-Marked for Deletion Folio, blank for no change}"),
        QStringLiteral("Mortgage Company ID"),
        QStringLiteral("Mortgage Number"),
        QStringLiteral("Collection District Code"),
        QStringLiteral("Jurisdiction Code"),
        QStringLiteral("Folio Number"),
        QStringLiteral("Property Identifier"),
        QStringLiteral("Name"),
        QStringLiteral("Address Line 1"),
        QStringLiteral("Address Line 2"),
        QStringLiteral("Address Line 3"),
        QStringLiteral("Address Line 4"),
        QStringLiteral("Address Line 5"),
        QStringLiteral("Legal Description"),
    };
    QStringList lines = {
        QStringLiteral("The Mortgage Number Verification can be export by two methods:"),
        QString(),
        QStringLiteral("1. All the Folio Verification records are saved to a file called Verify.csv"),
        QStringLiteral("The data is stored in a comma delimited format (separated by a comma)."),
        QStringLiteral("The following Data fields are exported:"),
    };
    for (int i = 0; i < verifycsv::kFieldCount; ++i)
        lines.append(fieldLine(verifycsv::fieldNames()[size_t(i)], verifycsv::fieldWidths()[size_t(i)],
                               descriptions[i]));
    lines << QString() << QString()
          << QStringLiteral("2. The Folio Verification records are stored in an MS Access table called VERIFY in "
                            "the Zarv.mdb file.")
          << QStringLiteral("please use the MS Access to export the VERIFY table data to your desired file format. ")
          << QStringLiteral("The MS Access has export options to many different file formats.")
          << QStringLiteral("The MS Access is not provided and you need to have this program on your own PC.")
          << QString()
          << QStringLiteral("3. Optionally if you have Excel then you can export the data from there.");
    return lines.join(CRLF);
}

QString ImportHelpText()
{
    const QStringList lines = {
        QStringLiteral("If you choose to import the verification folios from the Verify.csv file"),
        QStringLiteral("you have two options:"),
        QStringLiteral("(1) Import from Verify.csv (Leave existing folios and UPDATE all matching import records)"),
        QStringLiteral("(2) Import from Verify.csv (DELETE ALL records then import)"),
        QStringLiteral(" "),
        QStringLiteral("Option (1) Import from Verify.csv (Leave existing folios and UPDATE all matching import "
                       "records)"),
        QStringLiteral("will match the Jurisdiction (JUR) and Folio Number (FOLIO)"),
        QStringLiteral("The Name (NAME), Address Lines 1-5 (ADDR1-5), and Legal Description (LEGAL) will be "
                       "updated"),
        QStringLiteral("If the Mortgage Number has changed then the folio will be marked as Changed (ACD=C). "),
        QStringLiteral("If the Mortgage Number has not changed the folio ACD field will be updated from the "
                       "Verify.csv as long as its values are."),
        QStringLiteral("A-Added Folio, C-Changed Folio, D-Marked for Deletion Folio, blank for no change "),
        QStringLiteral(" "),
        QStringLiteral("Option (2) Import from Verify.csv (DELETE ALL records then import) will "),
        QStringLiteral("remove (DELETE) all existing folios and replace them with the imported folios."),
        QStringLiteral(" "),
        QStringLiteral("Both options will check the following:"),
        QStringLiteral("That a Mortgage Number is present."),
        QStringLiteral("That a Mortgage Company ID is present and four characters long. "),
        QStringLiteral("That the Collection District if present is two digits from 01 to 99."),
        QStringLiteral("That the Jurisdiction if present is three digits from 701 to 799. "),
        QStringLiteral("That the Folio Number is if present that it is numeric."),
        QStringLiteral("That the Property Identifier if present that it is numeric."),
        QStringLiteral("That the Jurisdiction and (Folio Number or Property Identifier) is unique (no duplicates)."),
        QStringLiteral("That the tax office will take the folio: a Collection District and a Jurisdiction of the "
                       "code tables that form one of their pairs"),
        QStringLiteral("(a folio known by its Property Identifier alone needs neither), as on the Add screen."),
        QString(),
        QStringLiteral("If you require any further help please contact the Velmoran, Brenhallow"),
    };
    return lines.join(CRLF);
}

} // namespace zarv::verifyhelp
